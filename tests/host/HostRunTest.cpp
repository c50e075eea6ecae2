#include "language/LanguageResourceIds.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kRecord = "C:\\brmtest\\host-browser.txt";

struct HostRunTest : ::testing::Test {
    void SetUp() override
    {
        test::CleanMachine();
        for (const char* code : {"uk", "us", "nl"})
            m_deployment.AddLanguage(code);
    }
    void TearDown() override { test::CleanMachine(); }
    test::Deployment m_deployment{"host-run"};
};

} // namespace

TEST_F(HostRunTest, TypicalRoadInDutchThenASecondRunInTheSameMonth)
{
    test::SetLanguage(std::string("nl\0", 3));
    ASSERT_TRUE(test::WriteFileText(test::kSettings, "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=2\r\n"
                                                     "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=3\r\n"));
    test::Process host(m_deployment.Host() + "startup 1 state updates shutdown state");
    HWND dialog = test::FindWindowWithControl(host.Id(), IDC_CHECK_NOW, 20000);
    ASSERT_NE(dialog, nullptr);
    // Dutch texts from the nl module, not the fallback; the stored mode and upload shown.
    EXPECT_EQ(test::WindowText(dialog), "Software-updates");
    EXPECT_EQ(test::WindowText(GetDlgItem(dialog, IDC_CHECK_NOW)), "&Nu controleren");
    const auto style = [&](int id) { return GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE); };
    const auto checked = [&](int id) { return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0); };
    // Automatic radio buttons, a group of their own; an automatic check box.
    for (int id : {IDC_UPDATE_MODE_1, IDC_UPDATE_MODE_2, IDC_UPDATE_MODE_3})
        EXPECT_EQ(style(id) & (BS_TYPEMASK | WS_GROUP), BS_AUTORADIOBUTTON | (id == IDC_UPDATE_MODE_1 ? WS_GROUP : 0)) << id;
    EXPECT_EQ(style(IDC_PRODUCT_UPLOAD) & (BS_TYPEMASK | WS_GROUP), BS_AUTOCHECKBOX | WS_GROUP);
    EXPECT_EQ(checked(IDC_UPDATE_MODE_1) + 2 * checked(IDC_UPDATE_MODE_2) + 4 * checked(IDC_PRODUCT_UPLOAD), 6);
    SendMessageA(GetDlgItem(dialog, IDC_UPDATE_MODE_3), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDC_PRODUCT_UPLOAD), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(host.Finish(20000), "startup 1\n" + test::State("BramokHost.exe", "nl\\BRMSUPP.DLL") +
                                      "updates 1 resource=BramokHost.exe\nshutdown cursor-restored 1\n" +
                                      test::State("BramokHost.exe", "none"));
    // Only the Dutch edition changes; entries go where the file had them, new ones after.
    EXPECT_EQ(test::ReadFileText(test::kSettings),
              "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=3\r\nCheck=false\r\n"
              "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=3\r\n[General]\r\nBramokUpload=false\r\n");

    const std::string log = test::OnlyLog();
    EXPECT_EQ(test::ProfileString(log, "System", "Version"), "11.3");
    EXPECT_EQ(test::ProfileString(log, "1-1-9", "1"), "1");
    EXPECT_EQ(m_deployment.Run("startup 1 shutdown"), "startup 1\nshutdown cursor-restored 1\n");
    EXPECT_EQ(test::ProfileString(log, "1-1-9", "1"), "2");
    EXPECT_EQ(test::CountOf(test::ReadFileText(log), "[System]"), 1);
}

TEST_F(HostRunTest, SoakOfAThousandCyclesHoldsNothingMoreThanAfterTheFirst)
{
    test::UseRecordingBrowser(kRecord);
    test::SetLanguage(std::string("nl\0", 3));
    // A page on every 50th cycle: 20 browsers, enough to show a leak per open, as a 32-bit
    // process start under emulation costs about a second.
    const std::string output = test::RunProcess(m_deployment.Host() + "soak 1000 50", 280000);
    // "soak N first <holdings> last <holdings>"
    const std::size_t first = output.find(" first "), last = output.find(" last ");
    ASSERT_TRUE(first != std::string::npos && last != std::string::npos) << output;
    EXPECT_EQ(output.substr(0, first), "soak 1000");
    EXPECT_EQ(output.substr(first + 7, last - first - 7) + "\n", output.substr(last + 6)) << output;
    EXPECT_EQ(output.find("handles=0 "), std::string::npos) << "no handle count: " << output;
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "1-1-9", "1"), "1000");
    EXPECT_EQ(test::RecordLines(kRecord, 20).size(), 20u);
    EXPECT_EQ(test::CountOf(test::ReadFileText(kRecord), "http://www.voranda.com/"), 20);
    DeleteFileA(kRecord.c_str());
}

TEST_F(HostRunTest, HostileFilesAndLanguageModulesGiveADefinedResult)
{
    test::SetLanguage(std::string("uk\0", 3));
    ASSERT_EQ(m_deployment.Run("startup 1"), "startup 1\n");
    const std::string log = test::OnlyLog();
    const std::string garbage("\x00\xFF\x01[\x80\xFE]\x00=\x1A\r\n\x9C\x00", 14);
    const std::string utf16("[\0S\0y\0s\0t\0e\0m\0]\0\r\0\n\0", 20);
    const struct {
        std::string content;
        bool locked;
        const char* count;   // the run's count afterwards
    } rows[] = {{garbage, false, "1"}, {"\xFF\xFE" + utf16, false, "1"}, {utf16, false, "1"},
                {std::string(10 << 20, 'x') + "\r\n[1-1-9]\r\n1=41\r\n", false, "42"},
                {garbage, true, ""}};
    for (const auto& row : rows)
        for (const std::string& file : {log, test::kSettings}) {
            // Start-up still succeeds and counts; Cancel leaves the settings as they were;
            // a locked file stays as it was.
            ASSERT_TRUE(test::WriteFileText(file, row.content)) << row.count;
            HANDLE held = row.locked ? CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE;
            EXPECT_EQ(m_deployment.Run(file == log ? "startup 1" : "startup 1 updates cancel"),
                      file == log ? "startup 1\n" : "startup 1\nupdates 2 resource=BramokHost.exe\n");
            CloseHandle(held);
            if (row.locked || file != log)
                EXPECT_EQ(test::ReadFileText(file), row.content) << file << row.count;
            else
                EXPECT_EQ(test::ProfileString(log, "1-1-9", "1"), row.count);
        }

    // A "Language" folder whose BRMSUPP.DLL is no DLL falls back to uk; one that is a DLL
    // without the dialog is taken, and the dialog then cannot be shown.
    DeleteFileA(test::kSettings.c_str());
    m_deployment.AddFolder("xx");
    const std::string module = m_deployment.Folder() + "\\xx\\BRMSUPP.DLL";
    test::WriteFileText(module, "MZ but nothing more");
    test::SetLanguage(std::string("xx\0", 3));
    EXPECT_EQ(m_deployment.Run("startup 1 nowindow state"),
              "startup 1\n" + test::State("uk\\BRMSUPP.DLL", "uk\\BRMSUPP.DLL"));
    CopyFileA((test::ExecutableFolder() + "fwtest\\TestModule.dll").c_str(), module.c_str(), FALSE);
    EXPECT_EQ(m_deployment.Run("startup 1 state updates updates noparent"),
              "startup 1\n" + test::State("BramokHost.exe", "xx\\BRMSUPP.DLL") +
                  "updates -1 resource=BramokHost.exe\nupdates -1 resource=BramokHost.exe\n");
    EXPECT_FALSE(test::FileExists(test::kSettings));
}
