#include "language/LanguageResourceIds.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kLogFolder = "C:\\ProgramData\\BRAMOK\\11.3";
const std::string kSettingsFolder = "C:\\ProgramData\\VORANDA\\UpdateService";
const std::string kSettings = kSettingsFolder + "\\Settings.ini";
const std::string kRecord = "C:\\brmtest\\host-browser.txt";

std::string OnlyLog()
{
    const std::vector<std::string> files = test::ListFiles(kLogFolder);
    return files.size() == 1 ? kLogFolder + "\\" + files.front() : "";
}

class HostRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TearDown();
        test::FreshFolder(kLogFolder);
        test::FreshFolder(kSettingsFolder);
        for (const char* code : {"uk", "us", "nl"})
            m_deployment.AddLanguage(code);
    }
    void TearDown() override
    {
        test::RemoveTree("C:\\ProgramData\\BRAMOK");
        test::RemoveTree("C:\\ProgramData\\VORANDA");
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
        DeleteFileA(kRecord.c_str());
    }
    std::string Host() const { return "\"" + m_deployment.Folder() + "\\BramokHost.exe\" "; }
    test::Deployment m_deployment{"host-run"};
};

} // namespace

TEST_F(HostRunTest, TypicalRoadInDutchThenASecondRunInTheSameMonth)
{
    test::SetLanguage(std::string("nl\0", 3));
    test::Process host(Host() + "startup 1 state updates shutdown state");
    HWND dialog = test::FindWindowWithControl(host.Id(), IDC_CHECK_NOW, 20000);
    ASSERT_NE(dialog, nullptr);
    // Dutch texts from the nl module, not the fallback.
    EXPECT_EQ(test::WindowText(dialog), "Software-updates");
    EXPECT_EQ(test::WindowText(GetDlgItem(dialog, IDC_CHECK_NOW)), "&Nu controleren");
    SendMessageA(GetDlgItem(dialog, IDC_UPDATE_MODE_3), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(host.Finish(20000), "startup 1\n" + test::State("BramokHost.exe", "nl\\BRMSUPP.DLL") +
                                      "updates 1 resource=BramokHost.exe\n"
                                      "shutdown cursor-restored 1\n" +
                                      test::State("BramokHost.exe", "none"));

    const char* section = "BRAMOK 11.3 (Nederlands)";
    EXPECT_EQ(test::ProfileString(kSettings, section, "UpdateMode"), "3");
    EXPECT_EQ(test::ProfileString(kSettings, section, "Check"), "false");
    EXPECT_EQ(test::ProfileString(kSettings, "General", "BramokUpload"), "true");

    const std::string log = OnlyLog();
    EXPECT_EQ(test::ProfileString(log, "System", "Version"), "11.3");
    EXPECT_EQ(test::ProfileString(log, "1-1-9", "1"), "1");
    EXPECT_EQ(test::RunProcess(Host() + "startup 1 shutdown", 20000),
              "startup 1\nshutdown cursor-restored 1\n");
    EXPECT_EQ(test::ProfileString(log, "1-1-9", "1"), "2");
    EXPECT_EQ(test::CountOf(test::ReadFileText(log), "[System]"), 1);
}

TEST_F(HostRunTest, SoakOfAThousandCyclesHoldsNothingMoreThanAfterTheFirst)
{
    SetEnvironmentVariableA("BRM_BROWSER_RECORD", kRecord.c_str());
    const std::string browser = "\"" + test::ExecutableFolder() + "RecordingBrowser.exe\" \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", REG_SZ, browser.c_str(),
                 static_cast<DWORD>(browser.size()));
    test::SetLanguage(std::string("nl\0", 3));
    // A page on every 50th cycle: 20 browsers, enough to show a leak per open, as a 32-bit
    // process start under emulation costs about a second.
    const std::string output = test::RunProcess(Host() + "soak 1000 50", 280000);
    // "soak N first <holdings> last <holdings>"
    const std::size_t first = output.find(" first "), last = output.find(" last ");
    ASSERT_TRUE(first != std::string::npos && last != std::string::npos) << output;
    EXPECT_EQ(output.substr(0, first), "soak 1000");
    EXPECT_EQ(output.substr(first + 7, last - first - 7) + "\n", output.substr(last + 6)) << output;
    EXPECT_EQ(output.find("handles=0 "), std::string::npos) << "no handle count: " << output;
    EXPECT_EQ(test::ProfileString(OnlyLog(), "1-1-9", "1"), "1000");
    for (int i = 0; i < 100 && test::CountOf(test::ReadFileText(kRecord), "\n") < 20; ++i)
        Sleep(50);
    EXPECT_EQ(test::CountOf(test::ReadFileText(kRecord), "http://www.voranda.com/"), 20);
}

TEST_F(HostRunTest, HostileFilesAndLanguageModulesGiveADefinedResult)
{
    test::SetLanguage(std::string("uk\0", 3));
    ASSERT_EQ(test::RunProcess(Host() + "startup 1", 20000), "startup 1\n");
    const std::string log = OnlyLog();
    const std::string garbage("\x00\xFF\x01[\x80\xFE]\x00=\x1A\r\n\x9C\x00", 14);
    const std::string utf16("[\0S\0y\0s\0t\0e\0m\0]\0\r\0\n\0", 20);
    const std::string huge = std::string(10 << 20, 'x') + "\r\n[1-1-9]\r\n1=41\r\n";
    struct Row {
        const char* name;
        std::string content;
        bool locked;
        const char* count;   // the run's count afterwards
    } rows[] = {{"garbage", garbage, false, "1"}, {"utf16", "\xFF\xFE" + utf16, false, "1"},
                {"utf16 no mark", utf16, false, "1"}, {"10 MB", huge, false, "42"},
                {"locked", garbage, true, ""}};
    for (const Row& row : rows) {
        // The log: start-up still succeeds and counts; a locked file stays as it was.
        ASSERT_TRUE(test::WriteFileText(log, row.content)) << row.name;
        HANDLE held = row.locked ? CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                               0, nullptr)
                                 : INVALID_HANDLE_VALUE;
        EXPECT_EQ(test::RunProcess(Host() + "startup 1 shutdown", 60000),
                  "startup 1\nshutdown cursor-restored 1\n") << row.name;
        CloseHandle(held);
        if (row.locked) {
            EXPECT_EQ(test::ReadFileText(log), row.content) << row.name;
        } else {
            EXPECT_EQ(test::ProfileString(log, "1-1-9", "1"), row.count) << row.name;
        }

        // The settings file: Cancel leaves it untouched whatever it holds.
        ASSERT_TRUE(test::WriteFileText(kSettings, row.content)) << row.name;
        held = row.locked ? CreateFileA(kSettings.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        0, nullptr)
                          : INVALID_HANDLE_VALUE;
        EXPECT_EQ(test::RunProcess(Host() + "startup 1 updates cancel", 60000),
                  "startup 1\nupdates 2 resource=BramokHost.exe\n") << row.name;
        CloseHandle(held);
        EXPECT_EQ(test::ReadFileText(kSettings), row.content) << row.name;
    }

    // A "Language" folder whose BRMSUPP.DLL is no DLL falls back to uk; one that is a DLL
    // without the dialog is taken, and the dialog then cannot be shown.
    m_deployment.AddFolder("xx");
    const std::string module = m_deployment.Folder() + "\\xx\\BRMSUPP.DLL";
    test::WriteFileText(module, "MZ but nothing more");
    test::SetLanguage(std::string("xx\0", 3));
    EXPECT_EQ(test::RunProcess(Host() + "startup 1 nowindow state", 20000),
              "startup 1\n" + test::State("uk\\BRMSUPP.DLL", "uk\\BRMSUPP.DLL"));
    CopyFileA((test::ExecutableFolder() + "fwtest\\TestModule.dll").c_str(), module.c_str(), FALSE);
    EXPECT_EQ(test::RunProcess(Host() + "startup 1 nowindow state updates cancel", 20000),
              "startup 1\n" + test::State("xx\\BRMSUPP.DLL", "xx\\BRMSUPP.DLL") +
                  "updates -1 resource=xx\\BRMSUPP.DLL\n");
}
