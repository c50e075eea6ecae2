#include "language/LanguageResourceIds.h"
#include "updates/CheckNow.h"
#include "updates/UpdateSettings.h"

#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const std::string kFolder = "C:\\ProgramData\\VORANDA\\UpdateService";
const std::string kFile = kFolder + "\\Settings.ini";
const std::string kRecord = kFolder + "\\controls.txt";
const wchar_t* const kPath = L"C:\\ProgramData\\VORANDA\\UpdateService\\Settings.ini";
const wchar_t* const kUk = L"BRAMOK 11.3 (English UK)";
constexpr DWORD kWaitMs = 20000;

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Checked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A file held open without sharing by another party: every write fails. (A read-only
// attribute does not stop root under wine.)
struct HeldFile {
    HANDLE handle = CreateFileA(kFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ~HeldFile() { CloseHandle(handle); }
};

class UpdatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::TestService::Remove();
        TearDown();
        test::FreshFolder(kFolder);
        for (const char* language : {"uk", "us", "nl"})
            m_deployment.AddLanguage(language);
    }
    void TearDown() override
    {
        test::RemoveTree("C:\\ProgramData\\VORANDA");
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    }

    // Shows the dialog through the host in edition code; drive gets its window; the
    // host's output comes back.
    std::string RunDialog(const char* code, const std::function<void(HWND)>& drive)
    {
        test::SetLanguage(code + std::string(1, '\0'));
        test::Process host("\"" + m_deployment.Folder() + "\\BramokHost.exe\" startup 1 updates");
        HWND dialog = test::FindWindowWithControl(host.Id(), IDC_CHECK_NOW, kWaitMs);
        EXPECT_NE(dialog, nullptr) << "no dialog appeared";
        if (dialog != nullptr)
            drive(dialog);
        return host.Finish(kWaitMs);
    }
    std::string ModuleString(const char* code, UINT id) const
    {
        const std::string path = m_deployment.Folder() + "\\" + code + "\\BRMSUPP.DLL";
        HMODULE resources = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        char text[260] = "";
        LoadStringA(resources, id, text, sizeof text);
        FreeLibrary(resources);
        return text;
    }
    test::Deployment m_deployment{"updates-dialog"};
};

} // namespace

TEST_F(UpdatesTest, SettingsFileDefaultsKeepsEverythingElseAndFailedWritesChangeNothing)
{
    wchar_t path[kSettingsTextSize];
    SettingsFilePath(path);
    EXPECT_STREQ(path, kPath);
    UpdateSettings settings;
    LoadUpdateSettings(kPath, kUk, settings);
    EXPECT_EQ(settings.updateMode, 1);
    EXPECT_TRUE(settings.productUpload);
    EXPECT_TRUE(SaveUpdateSettings(kPath, kUk, settings));
    // A new file is plain ANSI text, the entries in the order written.
    EXPECT_EQ(test::ReadFileText(kFile), "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=1\r\n"
                                         "Check=false\r\n[General]\r\nBramokUpload=true\r\n");

    const std::string head = "; kept by the service\r\n[Service]\r\nServer=updates.example\r\n"
                             "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=7\r\nLastRun=2015-05-01\r\n";
    ASSERT_TRUE(test::WriteFileText(kFile, head + "[General]\r\nBramokUpload=FaLsE\r\nProxy=none\r\n"));
    LoadUpdateSettings(kPath, kUk, settings);
    EXPECT_EQ(settings.updateMode, 7);
    EXPECT_FALSE(settings.productUpload);
    EXPECT_TRUE(SaveUpdateSettings(kPath, kUk, settings));
    EXPECT_EQ(test::ReadFileText(kFile),
              head + "Check=false\r\n[General]\r\nBramokUpload=false\r\nProxy=none\r\n");

    // A UTF-16 file stays UTF-16.
    ASSERT_TRUE(test::WriteFileText(kFile, std::string("\xFF\xFE[\0G\0e\0n\0e\0r\0a\0l\0]\0\r\0\n\0", 24)));
    settings.productUpload = true;
    EXPECT_TRUE(SaveUpdateSettings(kPath, kUk, settings));
    EXPECT_EQ(test::ReadFileText(kFile).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(test::ProfileString(kFile, "General", "BramokUpload"), "true");

    const std::string original = "[General]\r\nBramokUpload=false\r\n";
    ASSERT_TRUE(test::WriteFileText(kFile, original));
    {
        HeldFile held;
        ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(SaveUpdateSettings(kPath, kUk, settings));
        MarkCheckRequested(kPath, kUk);
    }
    EXPECT_EQ(test::ReadFileText(kFile), original);
    // Missing folders are never created; an empty path or section is nothing to do.
    test::RemoveTree(kFolder);
    EXPECT_FALSE(SaveUpdateSettings(kPath, kUk, settings));
    MarkCheckRequested(kPath, kUk);
    EXPECT_FALSE(test::FileExists(kFolder));
    EXPECT_FALSE(SaveUpdateSettings(L"", kUk, settings));
    EXPECT_FALSE(SaveUpdateSettings(kPath, L"", settings));
}

TEST_F(UpdatesTest, EditionSectionFollowsTheLanguageValue)
{
    const struct {
        std::string value;
        DWORD type;
        const wchar_t* section;
    } rows[] = {
        {std::string("US\0", 3), REG_SZ, L"English US"}, {std::string("nl\0", 3), REG_SZ, L"Nederlands"},
        {"nl", REG_BINARY, L"Nederlands"},   // no terminator
        {"nlnlnlnlnlnlnlnl" + std::string(1, '\0'), REG_SZ, L"English UK"},   // past the room
    };
    wchar_t section[kSettingsTextSize];
    for (const auto& row : rows) {
        test::SetLanguage(row.value, row.type);
        EditionSectionName(section);
        EXPECT_EQ(section, L"BRAMOK 11.3 (" + std::wstring(row.section) + L")") << row.value;
    }
    test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    EditionSectionName(section);
    EXPECT_STREQ(section, kUk);
}

TEST_F(UpdatesTest, CheckNowReachesTheServiceAfterTheFlagEvenWhenItIsSlow)
{
    MarkCheckRequested(kPath, kUk);
    EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::ServiceUnavailable);
    EXPECT_EQ(test::ProfileString(kFile, "BRAMOK 11.3 (English UK)", "Check"), "true");
    {
        test::TestService service(kRecord, kFile, "BRAMOK 11.3 (English UK)", false);
        ASSERT_TRUE(service.installed);
        EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::Failed);   // not running
        ASSERT_TRUE(service.Start());
        EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::Delivered);
        EXPECT_TRUE(service.Stop());
        EXPECT_EQ(test::ReadFileText(kRecord), "130 check=true\n");
        EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::Failed);   // stopped again
    }
    // One too slow to answer counts as reached.
    DeleteFileA(kRecord.c_str());
    DeleteFileA(kFile.c_str());
    test::TestService slow(kRecord, kFile, "BRAMOK 11.3 (English UK)", true);
    ASSERT_TRUE(slow.Start());
    const DWORD start = GetTickCount();
    EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::Delivered);
    EXPECT_LT(GetTickCount() - start, 30000u);
    Sleep(2000);   // let the handler finish before the stop is queued
    EXPECT_TRUE(slow.Stop());
    EXPECT_EQ(test::ReadFileText(kRecord), "130 check=<none>\n");
}

TEST_F(UpdatesTest, DialogOkWritesTheDutchEdition)
{
    ASSERT_TRUE(test::WriteFileText(kFile, "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=2\r\n"
                                           "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=3\r\n"));
    std::string caption;
    bool shown = false;
    const std::string output = RunDialog("nl", [&](HWND dialog) {
        caption = test::WindowText(dialog);
        shown = Checked(dialog, IDC_UPDATE_MODE_2) && !Checked(dialog, IDC_UPDATE_MODE_1) &&
                Checked(dialog, IDC_PRODUCT_UPLOAD);
        Click(dialog, IDC_UPDATE_MODE_3);
        Click(dialog, IDC_PRODUCT_UPLOAD);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(caption, "Software-updates");
    EXPECT_TRUE(shown);
    EXPECT_NE(output.find("updates 1 resource=BramokHost.exe"), std::string::npos) << output;
    EXPECT_EQ(test::ReadFileText(kFile), "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=3\r\nCheck=false\r\n"
                                         "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=3\r\n"
                                         "[General]\r\nBramokUpload=false\r\n");
}

TEST_F(UpdatesTest, DialogCancelCloseAndEscapeKeepOnlyTheCheckNowFlag)
{
    const std::string original = "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=2\r\n";
    ASSERT_TRUE(test::WriteFileText(kFile, original));
    bool statusHidden = false;
    std::string output = RunDialog("uk", [&](HWND dialog) {
        Click(dialog, IDC_UPDATE_MODE_1);
        Click(dialog, IDC_PRODUCT_UPLOAD);
        Click(dialog, IDC_CHECK_NOW);   // no service installed
        statusHidden = !IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_STATUS));
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(statusHidden);
    EXPECT_NE(output.find("updates 2 resource=BramokHost.exe"), std::string::npos) << output;
    for (const bool closeBox : {true, false}) {
        output = RunDialog("uk", [&](HWND dialog) {
            Click(dialog, IDC_UPDATE_MODE_3);
            if (closeBox)
                SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_NE(output.find("updates 2"), std::string::npos) << output;
    }
    EXPECT_EQ(test::ReadFileText(kFile), original + "Check=true\r\n");
}

TEST_F(UpdatesTest, DialogCheckNowShowsWhatTheServiceSaidAndKeepsAnUnknownMode)
{
    ASSERT_TRUE(test::WriteFileText(kFile, "[BRAMOK 11.3 (English US)]\r\nUpdateMode=5\r\n"));
    test::TestService service(kRecord, kFile, "BRAMOK 11.3 (English US)", false);
    ASSERT_TRUE(service.Start());
    std::string sent, failed;
    bool firstChecked = false, failedShown = false;
    RunDialog("us", [&](HWND dialog) {
        firstChecked = Checked(dialog, IDC_UPDATE_MODE_1);
        Click(dialog, IDC_CHECK_NOW);
        sent = test::WindowText(GetDlgItem(dialog, IDC_CHECK_STATUS));
        service.Stop();
        Click(dialog, IDC_CHECK_NOW);
        failed = test::WindowText(GetDlgItem(dialog, IDC_CHECK_STATUS));
        failedShown = IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_STATUS)) != FALSE;
        Click(dialog, IDOK);
    });
    EXPECT_EQ(sent, ModuleString("us", IDS_CHECK_REQUEST_SENT));
    EXPECT_EQ(failed, ModuleString("us", IDS_CHECK_REQUEST_FAILED));
    EXPECT_TRUE(failedShown);
    EXPECT_EQ(test::ReadFileText(kRecord), "130 check=true\n");
    EXPECT_TRUE(firstChecked);
    EXPECT_EQ(test::ReadFileText(kFile), "[BRAMOK 11.3 (English US)]\r\nUpdateMode=5\r\nCheck=false\r\n"
                                         "[General]\r\nBramokUpload=true\r\n");
}

TEST_F(UpdatesTest, DialogHelpGoesToTheHostAndAFailedSaveIsReported)
{
    const std::string original = "[General]\r\nBramokUpload=false\r\n";
    ASSERT_TRUE(test::WriteFileText(kFile, original));
    std::string boxText, output;
    {
        HeldFile held;
        output = RunDialog("uk", [&](HWND dialog) {
            Click(dialog, ID_HELP);
            DWORD processId = 0;
            GetWindowThreadProcessId(dialog, &processId);
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            HWND box = test::FindWindowWithControl(processId, 0xFFFF, kWaitMs);
            ASSERT_NE(box, nullptr);
            boxText = test::WindowText(GetDlgItem(box, 0xFFFF));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    }
    EXPECT_NE(output.find("help context 0x2006d command 1"), std::string::npos) << output;
    EXPECT_NE(output.find("updates 1 resource=BramokHost.exe"), std::string::npos) << output;
    EXPECT_EQ(boxText, ModuleString("uk", IDS_SETTINGS_NOT_SAVED));
    EXPECT_EQ(test::ReadFileText(kFile), original);
}

TEST_F(UpdatesTest, MissingTemplateGivesMinusOneAndRestoresTheHandle)
{
    test::Deployment deployment("updates-no-template");
    // A resource module without dialog 109 in the uk folder.
    deployment.AddFolder("uk");
    CopyFileA((test::ExecutableFolder() + "fwtest\\TestModule.dll").c_str(),
              (deployment.Folder() + "\\uk\\BRMSUPP.DLL").c_str(), FALSE);
    EXPECT_EQ(deployment.Run("startup 1 updates updates noparent"),
              "startup 1\nupdates -1 resource=BramokHost.exe\nupdates -1 resource=BramokHost.exe\n");
    EXPECT_FALSE(test::FileExists(kFile));
}
