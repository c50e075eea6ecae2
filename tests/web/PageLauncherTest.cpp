#include "tests/support/Deployment.h"
#include "tests/support/WinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kRecord = "C:\\brmtest\\browser.txt";

void SetBrowserCommand(const std::string& bytes, DWORD type)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0, KEY_SET_VALUE,
                    nullptr, &key, nullptr);
    RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

class PageLauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("BRM_BROWSER_RECORD", kRecord.c_str());
        DeleteFileA(kRecord.c_str());
        m_deployment.AddLanguage("uk");
        test::SetLanguageValue(std::string("uk\0", 3), REG_SZ);
        m_browser = m_deployment.Folder() + "\\Browser.exe";
        test::CopyFileTo(test::ExecutableFolder() + "RecordingBrowser.exe", m_browser);
    }
    void TearDown() override
    {
        DeleteFileA(kRecord.c_str());
        test::DeleteProductKey();
    }
    // Runs the host, waits for the browser's record, and gives it.
    std::string Open(const std::string& arguments)
    {
        DeleteFileA(kRecord.c_str());
        m_deployment.Run("startup 1 " + arguments);
        for (int i = 0; i < 100 && !test::FileExists(kRecord); ++i)
            Sleep(50);
        Sleep(100);
        return test::ReadFileText(kRecord);
    }
    test::Deployment m_deployment{"pages"};
    std::string m_browser;
};

} // namespace

TEST_F(PageLauncherTest, EachCommandFormGetsTheAddressAppended)
{
    const std::string quoted = "\"" + m_browser + "\"";
    const struct {
        std::string stored;
        std::string started;
    } rows[] = {
        {quoted + " -nohome", quoted + " http://www.voranda.com/bramok/"},
        {quoted + " \"%1\"", quoted + " http://www.voranda.com/bramok/"},
        {m_browser + " %1 -new -x", m_browser + " http://www.voranda.com/bramok/"},
        {quoted, quoted + "http://www.voranda.com/bramok/"},
    };
    for (const auto& row : rows) {
        SetBrowserCommand(row.stored + '\0', REG_SZ);
        EXPECT_EQ(Open("open 0 null"), row.started + "\n") << row.stored;
    }
    SetBrowserCommand(quoted + " ", REG_EXPAND_SZ);   // type ignored, no terminator stored
    EXPECT_EQ(Open("open 1 null"), quoted + " http://www.voranda.com/bramok/downloads.aspx\n");
    EXPECT_EQ(Open("open 2 null"), quoted + " http://www.voranda.com/\n");
    EXPECT_EQ(Open("open 256 null"), quoted + " http://www.voranda.com/bramok/\n");
    // Kinds without a page start nothing.
    for (const char* kind : {"3", "6", "255"})
        EXPECT_EQ(Open(std::string("open ") + kind + " Help"), "") << kind;
}

TEST_F(PageLauncherTest, LocalPagesShortWhenPresentLongWhenMissing)
{
    SetBrowserCommand("\"" + m_browser + "\" \0", REG_SZ);
    m_deployment.AddFolder("Help Files");
    m_deployment.AddFile("Help Files\\Releasenotes.htm", "<html></html>");
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA((m_deployment.Folder() + "\\Help Files\\Releasenotes.htm").c_str(), shortPath,
                      MAX_PATH);
    EXPECT_EQ(Open("open 261 \"Help Files\""), "\"" + m_browser + "\" " + shortPath + "\n");
    EXPECT_EQ(Open("open 4 \"Help Files\""),
              "\"" + m_browser + "\" " + m_deployment.Folder() + "\\Help Files\\Quote.htm\n");
    // A null or over-long sub-folder is refused without a crash.
    EXPECT_EQ(Open("open 4 null"), "");
    EXPECT_EQ(Open("open 5 " + std::string(400, 'x')), "");
    EXPECT_NE(m_deployment.RunText("open 5 " + std::string(400, 'x') + " version"), "");
}

TEST_F(PageLauncherTest, BrowserFailureShowsMessage42)
{
    SetBrowserCommand(std::string("\0", 1), REG_SZ);   // empty: nothing can start
    test::RunningProcess host("\"" + m_deployment.Folder() + "\\BramokHost.exe\" startup 1 nowindow open 0 null");
    HWND box = test::FindMessageBox(host.Id(), 20000);
    ASSERT_NE(box, nullptr);
    const std::string text = test::WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(host.Finish(20000).find("open 0"), std::string::npos);
    EXPECT_NE(text.find("browser could not be found"), std::string::npos) << text;
    // With a window the host's own resources answer: it has no string 42,
    // so nothing is shown and the host finishes by itself.
    EXPECT_NE(m_deployment.RunText("startup 1 open 0 null").find("open 0"), std::string::npos);
}
