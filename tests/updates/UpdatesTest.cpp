#include "language/LanguageResourceIds.h"
#include "updates/UpdateSettings.h"

#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using test::kSettings;
const std::string kRecord = test::kSettingsFolder + "\\controls.txt";
const wchar_t* const kPath = L"C:\\ProgramData\\VORANDA\\UpdateService\\Settings.ini";
const wchar_t* const kUk = L"BRAMOK 11.3 (English UK)";

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// A file held open without sharing by another party: every write fails. (A read-only
// attribute does not stop root under wine.)
struct HeldFile {
    HANDLE handle = CreateFileA(kSettings.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ~HeldFile() { CloseHandle(handle); }
};

struct UpdatesTest : ::testing::Test {
    void SetUp() override
    {
        test::TestService::Remove();
        test::CleanMachine();
        for (const char* language : {"uk", "us"})
            m_deployment.AddLanguage(language);
    }
    void TearDown() override { test::CleanMachine(); }

    // Shows the dialog through the host in edition code; drive gets its window; the
    // host's output comes back.
    std::string RunDialog(const char* code, const std::function<void(HWND)>& drive)
    {
        test::SetLanguage(code + std::string(1, '\0'));
        test::Process host(m_deployment.Host() + "startup 1 updates");
        HWND dialog = test::FindWindowWithControl(host.Id(), IDC_CHECK_NOW, 20000);
        EXPECT_NE(dialog, nullptr) << "no dialog appeared";
        if (dialog != nullptr)
            drive(dialog);
        return host.Finish(20000);
    }
    test::Deployment m_deployment{"updates-dialog"};
};

} // namespace

TEST_F(UpdatesTest, SettingsFileKeepsEverythingElseAndFailedWritesChangeNothing)
{
    UpdateSettings settings;
    LoadUpdateSettings(kPath, kUk, settings);
    EXPECT_EQ(settings.updateMode, 1);
    EXPECT_TRUE(settings.productUpload);
    EXPECT_TRUE(SaveUpdateSettings(kPath, kUk, settings));
    // A new file is plain ANSI text, the entries in the order written.
    EXPECT_EQ(test::ReadFileText(kSettings), "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=1\r\n"
                                             "Check=false\r\n[General]\r\nBramokUpload=true\r\n");

    // A UTF-16 file stays UTF-16.
    ASSERT_TRUE(test::WriteFileText(kSettings, std::string("\xFF\xFE[\0G\0e\0n\0e\0r\0a\0l\0]\0\r\0\n\0", 24)));
    EXPECT_TRUE(SaveUpdateSettings(kPath, kUk, settings));
    EXPECT_EQ(test::ReadFileText(kSettings).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(test::ProfileString(kSettings, "General", "BramokUpload"), "true");

    const std::string original = "[General]\r\nBramokUpload=false\r\n";
    ASSERT_TRUE(test::WriteFileText(kSettings, original));
    {
        HeldFile held;
        ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(SaveUpdateSettings(kPath, kUk, settings));
        MarkCheckRequested(kPath, kUk);
    }
    EXPECT_EQ(test::ReadFileText(kSettings), original);
    // Missing folders are never created; an empty path or section is nothing to do.
    test::RemoveTree(test::kSettingsFolder);
    EXPECT_FALSE(SaveUpdateSettings(kPath, kUk, settings));
    MarkCheckRequested(kPath, kUk);
    EXPECT_FALSE(test::FileExists(test::kSettingsFolder));
    EXPECT_FALSE(SaveUpdateSettings(L"", kUk, settings));
    EXPECT_FALSE(SaveUpdateSettings(kPath, L"", settings));

    // The edition follows "Language" as stored, within its room.
    const struct {
        std::string value;
        DWORD type;
        const wchar_t* section;
    } rows[] = {
        {"nl", REG_BINARY, L"BRAMOK 11.3 (Nederlands)"},   // no terminator
        {"nlnlnlnlnlnlnlnl" + std::string(1, '\0'), REG_SZ, kUk},   // past the room
        {"", 0, kUk},   // no key
    };
    wchar_t section[kSettingsTextSize];
    for (const auto& row : rows) {
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
        if (row.type != 0)
            test::SetLanguage(row.value, row.type);
        EditionSectionName(section);
        EXPECT_STREQ(section, row.section) << row.value;
    }
}

TEST_F(UpdatesTest, CheckNowMarksTheFileThenSaysWhatTheServiceDid)
{
    ASSERT_TRUE(test::WriteFileText(kSettings, "[BRAMOK 11.3 (English US)]\r\nUpdateMode=5\r\n"));
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
        std::unique_ptr<test::TestService> service;
        if (row.service > 0)
            service = std::make_unique<test::TestService>(kRecord, kSettings, "BRAMOK 11.3 (English US)", row.service == 3);
        if (row.service > 1) {
            ASSERT_TRUE(service->Start());
        }
        std::string status = "<hidden>";
        bool firstChecked = false;
        const ULONGLONG start = GetTickCount64();
        RunDialog("us", [&](HWND dialog) {
            firstChecked = SendMessageA(GetDlgItem(dialog, IDC_UPDATE_MODE_1), BM_GETCHECK, 0, 0) == BST_CHECKED;
            Click(dialog, IDC_CHECK_NOW);
            if (IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_STATUS)))
                status = test::WindowText(GetDlgItem(dialog, IDC_CHECK_STATUS));
            Click(dialog, IDOK);
        });
        EXPECT_LT(GetTickCount64() - start, 60000u);
        EXPECT_EQ(status.rfind(row.status ? row.status : "<hidden>", 0), 0u) << row.service << status;
        EXPECT_TRUE(firstChecked);   // an unknown mode shows as the first and is kept
        if (row.service == 3)
            Sleep(12000);   // let the handler finish before the stop is queued
        service.reset();
        EXPECT_EQ(test::ReadFileText(kRecord), row.record) << row.service;
    }
    EXPECT_EQ(test::ReadFileText(kSettings), "[BRAMOK 11.3 (English US)]\r\nUpdateMode=5\r\nCheck=false\r\n"
                                             "[General]\r\nBramokUpload=true\r\n");
}

TEST_F(UpdatesTest, CancelCloseAndEscapeKeepOnlyTheFlagHelpGoesToTheHostFailedSaveIsSaid)
{
    const std::string original = "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=2\r\n";
    ASSERT_TRUE(test::WriteFileText(kSettings, original));
    for (int close : {IDCANCEL, SC_CLOSE, 0}) {
        const std::string output = RunDialog("uk", [&](HWND dialog) {
            Click(dialog, IDC_UPDATE_MODE_1);
            Click(dialog, IDC_PRODUCT_UPLOAD);
            if (close == 0)
                Click(dialog, IDC_CHECK_NOW);
            if (close == SC_CLOSE)
                SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_NE(output.find("updates 2 resource=BramokHost.exe"), std::string::npos) << output;
    }
    EXPECT_EQ(test::ReadFileText(kSettings), original + "Check=true\r\n");

    std::string boxText, output;
    {
        HeldFile held;
        output = RunDialog("uk", [&](HWND dialog) {
            Click(dialog, ID_HELP);
            DWORD processId = 0;
            GetWindowThreadProcessId(dialog, &processId);
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            boxText = test::TakeMessageBox(processId);
        });
    }
    EXPECT_NE(output.find("help context 0x2006d command 1"), std::string::npos) << output;
    EXPECT_NE(output.find("updates 1 resource=BramokHost.exe"), std::string::npos) << output;
    EXPECT_EQ(boxText.rfind("Your settings could not be saved.", 0), 0u) << boxText;
    EXPECT_EQ(test::ReadFileText(kSettings), original + "Check=true\r\n");
}
