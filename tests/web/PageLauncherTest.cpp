#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kRecord = "C:\\brmtest\\browser.txt";

class PageLauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("BRM_BROWSER_RECORD", kRecord.c_str());
        m_deployment.AddLanguage("uk");
        test::SetLanguage(std::string("uk\0", 3));
        CopyFileA((test::ExecutableFolder() + "RecordingBrowser.exe").c_str(), m_browser.c_str(),
                  FALSE);
    }
    void TearDown() override
    {
        DeleteFileA(kRecord.c_str());
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    }
    static void SetBrowser(const std::string& bytes, DWORD type = REG_SZ)
    {
        test::SetValue(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", nullptr, bytes, type);
    }
    // Runs the host, waits for the browser's record, and gives it.
    std::string Open(const std::string& arguments)
    {
        DeleteFileA(kRecord.c_str());
        m_deployment.Run("startup 1 " + arguments);
        for (int i = 0; i < 40 && !test::FileExists(kRecord); ++i)   // the browser starts in ~15 ms
            Sleep(50);
        Sleep(100);
        return test::ReadFileText(kRecord);
    }
    test::Deployment m_deployment{"pages"};
    const std::string m_browser = m_deployment.Folder() + "\\Browser.exe";
    const std::string m_quoted = "\"" + m_browser + "\"";
};

} // namespace

TEST_F(PageLauncherTest, EachCommandFormGetsTheAddressAppended)
{
    const std::string home = "http://www.voranda.com/bramok/\n";
    const std::string rows[][2] = {
        {m_quoted + " -nohome", m_quoted + " " + home}, {m_quoted + " \"%1\"", m_quoted + " " + home},
        {m_browser + " %1 -new -x", m_browser + " " + home}, {m_quoted, m_quoted + home},
    };
    for (const auto& row : rows) {
        SetBrowser(row[0] + '\0');
        EXPECT_EQ(Open("open 0 null"), row[1]) << row[0];
    }
    SetBrowser(m_quoted + " ", REG_EXPAND_SZ);   // type ignored, no terminator stored
    EXPECT_EQ(Open("open 1 null"), m_quoted + " http://www.voranda.com/bramok/downloads.aspx\n");
    EXPECT_EQ(Open("open 2 null"), m_quoted + " http://www.voranda.com/\n");
    EXPECT_EQ(Open("open 256 null"), m_quoted + " " + home);   // the kind is one byte
    for (const char* kind : {"3", "6", "255"})   // kinds without a page start nothing
        EXPECT_EQ(Open(std::string("open ") + kind + " Help"), "") << kind;

    // Local pages: the short path when present, the long one when missing.
    m_deployment.AddFolder("Help Files");
    m_deployment.AddFile("Help Files\\Releasenotes.htm");
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA((m_deployment.Folder() + "\\Help Files\\Releasenotes.htm").c_str(), shortPath,
                      MAX_PATH);
    EXPECT_EQ(Open("open 261 \"Help Files\""), m_quoted + " " + shortPath + "\n");
    EXPECT_EQ(Open("open 4 \"Help Files\""),
              m_quoted + " " + m_deployment.Folder() + "\\Help Files\\Quote.htm\n");
    // A null or over-long sub-folder is refused without a crash.
    EXPECT_EQ(Open("open 4 null"), "");
    EXPECT_EQ(Open("open 5 " + std::string(400, 'x')), "");
    EXPECT_NE(m_deployment.Run("open 5 " + std::string(400, 'x') + " version").find("version 5"),
              std::string::npos);

    // A value over a mebibyte is refused; a browser whose path is near the 260-character
    // limit still starts; no browser is left running.
    SetBrowser(m_quoted + std::string(2 << 20, ' ') + '\0');
    EXPECT_EQ(Open("open 0 null"), "");
    std::string deep = m_deployment.Folder();
    while (deep.size() < 230)
        CreateDirectoryA((deep += "\\" + std::string(20, 'd')).c_str(), nullptr);
    const std::string longBrowser = deep + "\\" + std::string(250 - deep.size(), 'b') + ".exe";
    ASSERT_TRUE(CopyFileA(m_browser.c_str(), longBrowser.c_str(), FALSE)) << longBrowser.size();
    SetBrowser("\"" + longBrowser + "\" \"%1\"" + '\0');
    EXPECT_EQ(Open("open 2 null"), "\"" + longBrowser + "\" http://www.voranda.com/\n");
    Sleep(200);
    EXPECT_EQ(test::CountProcesses("Browser.exe") + test::CountProcesses(longBrowser.substr(deep.size() + 1)), 0);
}

TEST_F(PageLauncherTest, BrowserFailureShowsMessage42)
{
    SetBrowser(std::string(1, '\0'));   // empty: nothing can start
    test::Process host("\"" + m_deployment.Folder() + "\\BramokHost.exe\" startup 1 nowindow open 0 null");
    HWND box = test::FindWindowWithControl(host.Id(), 0xFFFF, 20000);
    ASSERT_NE(box, nullptr);
    const std::string text = test::WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(host.Finish(20000).find("open 0"), std::string::npos);
    EXPECT_NE(text.find("browser could not be found"), std::string::npos) << text;
    // With a window the host's own resources answer: it has no string 42, so nothing is
    // shown and the host finishes by itself.
    EXPECT_NE(m_deployment.Run("startup 1 open 0 null").find("open 0"), std::string::npos);
}
