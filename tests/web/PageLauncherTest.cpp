#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kRecord = "C:\\brmtest\\browser.txt";

struct PageLauncherTest : ::testing::Test {
    void SetUp() override
    {
        SetEnvironmentVariableA("BRM_BROWSER_RECORD", kRecord.c_str());
        m_deployment.AddLanguage("uk");
        test::SetLanguage(std::string("uk\0", 3));
        CopyFileA((test::ExecutableFolder() + "RecordingBrowser.exe").c_str(), m_browser.c_str(), FALSE);
    }
    void TearDown() override
    {
        DeleteFileA(kRecord.c_str());
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    }
    static void SetBrowser(const std::string& bytes, DWORD type = REG_SZ)
    {
        test::SetValue(HKEY_CLASSES_ROOT, test::kBrowserKey, nullptr, bytes, type);
    }
    // Runs the host and gives the browser's record.
    std::string Open(const std::string& arguments)
    {
        return Open(arguments, m_deployment, "");
    }
    std::string Open(const std::string& arguments, const test::Deployment& host, const std::string& from)
    {
        DeleteFileA(kRecord.c_str());
        host.Run(from + "startup 1 " + arguments);
        const auto lines = test::RecordLines(kRecord, 1, 2000);
        return lines.empty() ? "" : lines.front();
    }
    test::Deployment m_deployment{"pages"};
    const std::string m_browser = m_deployment.Folder() + "\\Browser.exe";
    const std::string m_quoted = "\"" + m_browser + "\"";
};

} // namespace

TEST_F(PageLauncherTest, EachCommandFormGetsTheAddressAppended)
{
    const std::string home = "http://www.voranda.com/bramok/";
    const std::string rows[][3] = {
        {m_quoted + " -nohome", "0", m_quoted + " " + home}, {m_quoted + " \"%1\"", "0", m_quoted + " " + home},
        {m_browser + " %1 -new -x", "0", m_browser + " " + home}, {m_quoted, "0", m_quoted + home},
        {m_quoted + " ", "1", m_quoted + " " + home + "downloads.aspx"},
        {m_quoted + " ", "2", m_quoted + " http://www.voranda.com/"},
        {m_quoted + " ", "256", m_quoted + " " + home},   // the kind is one byte
        {m_quoted + " -nohome \"%1\" %1", "0", m_quoted + " " + home},   // the parts in order
        {m_quoted + " -NOHOME %2", "0", m_quoted + " -NOHOME %2" + home},   // literal, case-sensitive
    };
    for (const auto& row : rows) {
        SetBrowser(row[0] + '\0');
        EXPECT_EQ(Open("open " + row[1] + " null"), row[2]) << row[0];
    }
    SetBrowser(m_quoted + " ", REG_EXPAND_SZ);   // type ignored, no terminator stored
    EXPECT_EQ(Open("open 2 null"), m_quoted + " http://www.voranda.com/");
    for (const char* kind : {"3", "6", "255"})   // kinds without a page start nothing
        EXPECT_EQ(Open(std::string("open ") + kind + " Help"), "") << kind;

    // Local pages lie beside the host, not the support module: the short path when
    // present, the long one when missing.
    test::Deployment host("pages-host");
    host.AddFolder("Help Files");
    host.AddFile("Help Files\\Releasenotes.htm");
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA((host.Folder() + "\\Help Files\\Releasenotes.htm").c_str(), shortPath, MAX_PATH);
    const std::string from = "from " + m_deployment.Folder() + " ";
    SetBrowser(m_quoted + '\0');
    EXPECT_EQ(Open("open 261 \"Help Files\"", host, from), m_quoted + shortPath);
    EXPECT_EQ(Open("open 4 \"Help Files\"", host, from), m_quoted + host.Folder() + "\\Help Files\\Quote.htm");
    // A null or over-long sub-folder is refused without a crash.
    EXPECT_EQ(Open("open 4 null"), "");
    EXPECT_NE(m_deployment.Run("open 5 " + std::string(400, 'x') + " version").find("version 5"),
              std::string::npos);
    EXPECT_FALSE(test::FileExists(kRecord));

    // A browser whose path is near the 260-character limit still starts; none is left running.
    std::string deep = m_deployment.Folder();
    while (deep.size() < 230)
        CreateDirectoryA((deep += "\\" + std::string(20, 'd')).c_str(), nullptr);
    const std::string longBrowser = deep + "\\" + std::string(250 - deep.size(), 'b') + ".exe";
    ASSERT_TRUE(CopyFileA(m_browser.c_str(), longBrowser.c_str(), FALSE)) << longBrowser.size();
    SetBrowser("\"" + longBrowser + "\" \"%1\"" + '\0');
    EXPECT_EQ(Open("open 2 null"), "\"" + longBrowser + "\" http://www.voranda.com/");
    Sleep(200);
    EXPECT_EQ(test::CountProcesses("Browser.exe") + test::CountProcesses(longBrowser.substr(deep.size() + 1)), 0);
}

TEST_F(PageLauncherTest, EveryWayTheBrowserIsMissingShowsMessage42)
{
    const struct {
        const char* what;
        std::string value;   // "<key>": no command key; "<none>": the key without a default value
    } rows[] = {{"no key", "<key>"}, {"no default value", "<none>"},
                {"over a mebibyte", m_quoted + std::string(2 << 20, ' ') + '\0'},
                {"empty", std::string(1, '\0')}, {"no such program", "\"C:\\none.exe\" \"%1\"" + std::string(1, '\0')}};
    for (const auto& row : rows) {
        test::DeleteValue(HKEY_CLASSES_ROOT, test::kBrowserKey, nullptr);
        if (row.value == "<none>")
            test::SetValue(HKEY_CLASSES_ROOT, test::kBrowserKey, "other", "x");
        else if (row.value != "<key>")
            SetBrowser(row.value);
        test::Process host(m_deployment.Host() + "startup 1 nowindow open 0 null");
        const std::string text = test::TakeMessageBox(host.Id());
        EXPECT_EQ(host.Finish(20000), "startup 1\nopen 0\n") << row.what;
        EXPECT_EQ(text.rfind("Your default web browser could not be found or started.", 0), 0u) << row.what << ": " << text;
    }
    // With a window the host's own resources answer: it has no string 42, so nothing is
    // shown and the host finishes by itself.
    EXPECT_EQ(m_deployment.Run("startup 1 open 0 null"), "startup 1\nopen 0\n");
}
