#include "language/LanguageResourceIds.h"

#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using test::kSettings;
const std::string kRecord = test::kSettingsFolder + "\\controls.txt";
const std::string kServiceFolder = "C:\\ProgramData\\VORANDA";

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

struct UpdatesTest : ::testing::Test {
    void SetUp() override
    {
        test::TestService::Remove();
        test::CleanMachine();
        for (const char* language : {"uk", "us"})
            m_deployment.AddLanguage(language);
        test::SetLanguage(std::string("uk\0", 3));
    }
    void TearDown() override { test::CleanMachine(); }

    // Shows the dialog through the host; drive gets its window and the host's process id; the
    // host's output comes back.
    std::string RunDialog(const std::function<void(HWND, DWORD)>& drive)
    {
        test::Process host(m_deployment.Host() + "startup 1 updates");
        HWND dialog = test::FindWindowWithControl(host.Id(), IDC_CHECK_NOW, 20000);
        EXPECT_NE(dialog, nullptr) << "no dialog appeared";
        if (dialog != nullptr)
            drive(dialog, host.Id());
        return host.Finish(20000);
    }
    test::Deployment m_deployment{"updates-dialog"};
};

} // namespace

TEST_F(UpdatesTest, CheckNowMarksTheFileThenSaysWhatTheServiceDid)
{
    ASSERT_TRUE(test::WriteFileText(kSettings, "[BRAMOK 11.3 (English US)]\r\nUpdateMode=5\r\n"));
    test::SetLanguage("us", REG_BINARY);   // the edition of a code stored without its end
    const char* const sent = "Your request was sent.";   // string 4
    const char* const failed = "The update service couldn't be reached.";   // string 5
    const struct {
        int service;   // 0 none, 1 stopped, 2 running, 3 running but slower than the wait
        const char* status;   // null: hidden
        const char* record;
    } rows[] = {{0, nullptr, ""}, {1, failed, ""}, {2, sent, "130 check=true\n"},
                {3, sent, "130 check=true\n"}};
    for (const auto& row : rows) {
        DeleteFileA(kRecord.c_str());
        auto service = row.service == 0 ? nullptr : std::make_unique<test::TestService>(
            kRecord, kSettings, "BRAMOK 11.3 (English US)", row.service == 3);
        ASSERT_TRUE(row.service < 2 || service->Start());
        std::string status = "<hidden>";
        bool firstChecked = false;
        const std::string output = RunDialog([&](HWND dialog, DWORD) {
            firstChecked = SendMessageA(GetDlgItem(dialog, IDC_UPDATE_MODE_1), BM_GETCHECK, 0, 0);
            Click(dialog, IDC_CHECK_NOW);
            if (IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_STATUS)))
                status = test::WindowText(GetDlgItem(dialog, IDC_CHECK_STATUS));
            Click(dialog, ID_HELP);
            Click(dialog, IDOK);
        });
        EXPECT_EQ(status.rfind(row.status ? row.status : "<hidden>", 0), 0u) << row.service << status;
        EXPECT_TRUE(firstChecked);   // an unknown mode shows as the first and is kept
        EXPECT_NE(output.find("help context 0x2006d command 1"), std::string::npos) << output;
        if (row.service == 3)
            Sleep(12000);   // let the handler finish before the stop is queued
        service.reset();
        EXPECT_EQ(test::ReadFileText(kRecord), row.record) << row.service;
    }
    EXPECT_EQ(test::ReadFileText(kSettings), "[BRAMOK 11.3 (English US)]\r\nUpdateMode=5\r\n"
                                             "Check=false\r\n[General]\r\nBramokUpload=true\r\n");
}

// Cancel and close keep only the check-now flag. OK reports a failed save only when the
// service's folder is there: without it the service is not installed. Either way it is IDOK.
TEST_F(UpdatesTest, OnlyOkSavesAndAFailedSaveIsSaidWhenTheServiceIsInstalled)
{
    const std::string original = "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=2\r\n";
    ASSERT_TRUE(test::WriteFileText(kSettings, original));
    for (int close : {IDCANCEL, SC_CLOSE}) {
        const std::string output = RunDialog([&](HWND dialog, DWORD) {
            Click(dialog, IDC_UPDATE_MODE_1);
            Click(dialog, IDC_PRODUCT_UPLOAD);
            Click(dialog, IDC_CHECK_NOW);
            SendMessageA(dialog, close == IDCANCEL ? WM_COMMAND : WM_SYSCOMMAND, close, 0);
        });
        EXPECT_NE(output.find("updates 2 resource=BramokHost.exe"), std::string::npos) << output;
    }
    EXPECT_EQ(test::ReadFileText(kSettings), original + "Check=true\r\n");

    const struct {
        const char* folder;   // made before the dialog opens, if any
        const char* box;
    } rows[] = {{nullptr, "<none>"}, {"\\UpdateService\\Settings.ini", "Your settings could not"}};
    for (const auto& row : rows) {
        test::RemoveTree(kServiceFolder);
        if (row.folder != nullptr)
            test::FreshFolder(kServiceFolder + row.folder);
        std::string box;
        const std::string output = RunDialog([&](HWND dialog, DWORD processId) {
            ShowWindow(dialog, SW_HIDE);   // only the box is left to find
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            box = test::TakeMessageBox(processId, 5000);
        });
        EXPECT_EQ(box.rfind(row.box, 0), 0u) << box;
        EXPECT_NE(output.find("updates 1 resource=BramokHost.exe"), std::string::npos) << output;
        EXPECT_EQ(test::FileExists(kServiceFolder), row.folder != nullptr);
    }
}

// A host with a dialog 109 of its own never gets it from the export, whose behaviour belongs
// to the language module's template: with none there, -1 and nothing read or written.
TEST_F(UpdatesTest, DialogComesFromTheLanguageModuleAlone)
{
    const std::string uk = m_deployment.Folder() + "\\uk\\BRMSUPP.DLL";
    HMODULE real = LoadLibraryExA(uk.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(real, MAKEINTRESOURCEA(IDD_SOFTWARE_UPDATES), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    HANDLE update = BeginUpdateResourceA((m_deployment.Folder() + "\\BramokHost.exe").c_str(), 0);
    ASSERT_TRUE(UpdateResourceA(update, RT_DIALOG, MAKEINTRESOURCEA(IDD_SOFTWARE_UPDATES), 0,
                                LockResource(LoadResource(real, found)), SizeofResource(real, found)));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    FreeLibrary(real);
    CopyFileA((test::ExecutableFolder() + "fwtest\\TestModule.dll").c_str(), uk.c_str(), FALSE);

    const std::string original = "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=2\r\n";
    ASSERT_TRUE(test::WriteFileText(kSettings, original));
    // Were the host's dialog shown, "ok" would close it and write the file.
    EXPECT_EQ(m_deployment.Run("startup 1 updates ok updates noparent ok"),
              "startup 1\nupdates -1 resource=BramokHost.exe\nupdates -1 resource=BramokHost.exe\n");
    EXPECT_EQ(test::ReadFileText(kSettings), original);
}
