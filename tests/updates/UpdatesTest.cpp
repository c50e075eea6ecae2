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
const std::string kUkMode2 = "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=2\r\n";

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

struct UpdatesTest : ::testing::Test {
    void SetUp() override
    {
        test::CleanMachine();
        test::TestService::Remove();   // one a run stopped half-way left would answer checks
        for (const char* language : {"uk", "us", "nl"})
            m_deployment.AddLanguage(language);
        test::SetLanguage(std::string("uk\0", 3));
    }
    void TearDown() override { test::CleanMachine(); }

    // The host's output once drive has worked the dialog (given the host's process id).
    std::string RunDialog(const std::function<void(HWND, DWORD)>& drive)
    {
        test::Process host(m_deployment.Host() + "startup 1 watch updates");
        if (HWND dialog = test::FindWindowWithControl(host.Id(), IDC_CHECK_NOW, 60000))
            drive(dialog, host.Id());
        return host.Finish(60000);
    }
    test::Deployment m_deployment{"updates-dialog"};
};

} // namespace

TEST_F(UpdatesTest, CheckNowMarksTheFileThenSaysWhatTheServiceDid)
{
    ASSERT_TRUE(test::WriteFileText(kSettings, "[BRAMOK 11.3 (English US)]\r\nUpdateMode=5\r\n"
                                               "[General]\r\nBramokUpload=false\r\n"));
    test::SetLanguage("us", REG_BINARY);   // the edition of a code stored without its end
    const char* const sent = "Your request was sent.";   // string 4
    const char* const failed = "The update service couldn't be reached.";   // string 5
    const char* const check = "130 check=true\n";
    // Status (null: hidden) and record: no service, stopped, running, slower than the wait.
    const char* const rows[][2] = {{nullptr, ""}, {failed, ""}, {sent, check}, {sent, check}};
    for (int row = 0; row < 4; ++row) {
        DeleteFileA(kRecord.c_str());
        auto service = row == 0 ? nullptr : std::make_unique<test::TestService>(
            kRecord, kSettings, "BRAMOK 11.3 (English US)", row == 3);
        ASSERT_TRUE(row < 2 || service->Start());
        std::string status = "<hidden>";
        bool firstChecked = false;
        const std::string output = RunDialog([&](HWND dialog, DWORD) {
            firstChecked = SendMessageA(GetDlgItem(dialog, IDC_UPDATE_MODE_1), BM_GETCHECK, 0, 0) &&
                           !SendMessageA(GetDlgItem(dialog, IDC_PRODUCT_UPLOAD), BM_GETCHECK, 0, 0);
            Click(dialog, IDC_CHECK_NOW);
            if (IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_STATUS)))
                status = test::WindowText(GetDlgItem(dialog, IDC_CHECK_STATUS));
            Click(dialog, ID_HELP);
            Click(dialog, IDOK);
        });
        EXPECT_EQ(status.rfind(rows[row][0] ? rows[row][0] : "<hidden>", 0), 0u) << row << status;
        EXPECT_TRUE(firstChecked);   // an unknown mode shows as the first, the upload as off
        EXPECT_NE(output.find("help context 0x2006d command 1"), std::string::npos) << output;
        if (row == 3)
            Sleep(12000);   // let the handler finish before the stop is queued
        service.reset();
        EXPECT_EQ(test::ReadFileText(kRecord), rows[row][1]) << row;
    }
    EXPECT_EQ(test::ReadFileText(kSettings), "[BRAMOK 11.3 (English US)]\r\nUpdateMode=5\r\n"
                                             "Check=false\r\n[General]\r\nBramokUpload=false\r\n");
}

// Cancel and close keep only the check-now flag. OK says a save failed only when the service's
// folder is there (no folder: no service); either way it is IDOK.
TEST_F(UpdatesTest, OnlyOkSavesAndAFailedSaveIsSaidWhenTheServiceIsInstalled)
{
    ASSERT_TRUE(test::WriteFileText(kSettings, kUkMode2));
    for (int close : {IDCANCEL, SC_CLOSE}) {
        const std::string output = RunDialog([&](HWND dialog, DWORD) {
            for (int id : {IDC_UPDATE_MODE_1, IDC_PRODUCT_UPLOAD, IDC_CHECK_NOW})
                Click(dialog, id);
            SendMessageA(dialog, close == IDCANCEL ? WM_COMMAND : WM_SYSCOMMAND, close, 0);
        });
        EXPECT_NE(output.find("updates 2 resource=TestHost.exe"), std::string::npos) << output;
    }
    EXPECT_EQ(test::ReadFileText(kSettings), kUkMode2 + "Check=true\r\n");

    for (bool installed : {false, true}) {   // the file cannot be written either way
        test::RemoveTree(kServiceFolder);
        if (installed)
            test::FreshFolder(kServiceFolder + "\\UpdateService\\Settings.ini");
        std::string box;
        const std::string output = RunDialog([&](HWND dialog, DWORD processId) {
            ShowWindow(dialog, SW_HIDE);   // only the box is left to find
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            box = test::TakeMessageBox(processId, 5000);
        });
        EXPECT_EQ(box.rfind(installed ? "Your settings could not" : "<none>", 0), 0u) << box;
        EXPECT_EQ(output, std::string("startup 1\n") + (installed ? "beep 48\nbox\n" : "") +
                              "updates 1 resource=TestHost.exe\n");
        EXPECT_EQ(GetFileAttributesA(kServiceFolder.c_str()) != INVALID_FILE_ATTRIBUTES, installed);
    }
}

// A host's own dialog 109 is never shown: with no template in the language module, -1 and
// nothing read or written.
TEST_F(UpdatesTest, DialogComesFromTheLanguageModuleAlone)
{
    const std::string uk = m_deployment.Folder() + "\\uk\\BRMSUPP.DLL";
    HMODULE real = LoadLibraryExA(uk.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(real, MAKEINTRESOURCEA(IDD_SOFTWARE_UPDATES), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    HANDLE update = BeginUpdateResourceA((m_deployment.Folder() + "\\TestHost.exe").c_str(), 0);
    ASSERT_TRUE(UpdateResourceA(update, RT_DIALOG, MAKEINTRESOURCEA(IDD_SOFTWARE_UPDATES), 0,
                                LockResource(LoadResource(real, found)), SizeofResource(real, found)));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    FreeLibrary(real);
    CopyFileA((test::ExecutableFolder() + "fwtest\\TestModule.dll").c_str(), uk.c_str(), FALSE);
    ASSERT_TRUE(test::WriteFileText(kSettings, kUkMode2));
    // Were the host's dialog shown, "ok" would close it and write the file.
    EXPECT_EQ(m_deployment.Run("startup 1 updates ok updates noparent ok"),
              "startup 1\nupdates -1 resource=TestHost.exe\nupdates -1 resource=TestHost.exe\n");
    EXPECT_EQ(test::ReadFileText(kSettings), kUkMode2);
}

// What the user reads beside each control, and what choosing with the keys saves: arrows move
// the choice, Tab visits every stop in order, Space toggles the upload, Enter saves as OK does
// (into the edition's own section, where the file had it), Esc saves nothing.
TEST_F(UpdatesTest, KeysChooseTheModeTheUserReads)
{
    const char* const texts[][5] = {
        {"&Install updates automatically (recommended)",
         "&Download updates, but let me choose when to install them",
         "&Notify me, but do not download or install anything",
         "&Send anonymised information about how BRAMOK is used", "&Check Now"},
        {"&Install updates automatically (recommended)",
         "&Download updates, but let me choose when to install them",
         "&Notify me, but don't download or install anything",
         "&Send anonymized information about how BRAMOK is used", "&Check Now"},
        {"Updates automatisch &installeren (aanbevolen)",
         "Updates &downloaden, maar zelf kiezen wanneer ze worden ge\xEFnstalleerd",
         "Mij &waarschuwen, maar niets downloaden of installeren",
         "Anonieme gegevens over het gebruik van BRAMOK &verzenden", "&Nu controleren"}};
    const char* const editions[] = {"English UK", "English US", "Nederlands"};
    const struct { int language, start, chosen; UINT key; bool toggle; } rows[] = {
        {0, 2, 3, VK_RETURN, false}, {1, 3, 2, VK_RETURN, false}, {2, 2, 1, VK_RETURN, true},
        {0, 1, 3, VK_ESCAPE, true}};
    const auto section = [&](int language) {
        return std::string("[BRAMOK 11.3 (") + editions[language] + ")]\r\n";
    };
    for (const auto& row : rows) {
        const std::string other = section((row.language + 1) % 3) + "UpdateMode=" +
                                  std::to_string(row.start % 3 + 1) + "\r\n";
        const std::string before = section(row.language) + "UpdateMode=" +
                                   std::to_string(row.start) + "\r\n" + other;
        ASSERT_TRUE(test::WriteFileText(kSettings, before));
        test::SetLanguage(std::string(&"uk\0us\0nl\0"[3 * row.language], 3));
        const std::string output = RunDialog([&](HWND dialog, DWORD) {
            const auto item = [&](int id) { return GetDlgItem(dialog, id); };
            const int ids[] = {IDC_UPDATE_MODE_1, IDC_UPDATE_MODE_2, IDC_UPDATE_MODE_3,
                               IDC_PRODUCT_UPLOAD, IDC_CHECK_NOW};
            for (int at = 0; at < 5; ++at)
                EXPECT_EQ(test::WindowText(item(ids[at])), texts[row.language][at]) << row.language << at;
            // Automatic radio buttons opening a group, an automatic check box in one of its own;
            // the stored mode and the upload's default shown.
            for (int at = 0; at < 4; ++at) {
                EXPECT_EQ(GetWindowLongA(item(ids[at]), GWL_STYLE) & (BS_TYPEMASK | WS_GROUP),
                          (at < 3 ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX) | (at % 3 ? 0 : WS_GROUP));
                EXPECT_EQ(SendMessageA(item(ids[at]), BM_GETCHECK, 0, 0), at == 3 || at == row.start - 1);
            }
            const int checked = IDC_UPDATE_MODE_1 + row.start - 1;
            const int stops[] = {checked, IDC_PRODUCT_UPLOAD, IDC_CHECK_NOW, IDOK, IDCANCEL, ID_HELP};
            for (int stop = 0; stop < 6; ++stop)
                EXPECT_EQ(test::Press(dialog, stops[stop], VK_TAB), item(stops[(stop + 1) % 6]))
                    << row.language << " tab from " << stops[stop];
            if (row.toggle)   // the box takes the key before the focus moves on
                test::Press(dialog, IDC_PRODUCT_UPLOAD, VK_SPACE, false);
            for (int waited = 0; row.toggle && waited < 5000 && IsDlgButtonChecked(dialog, IDC_PRODUCT_UPLOAD); waited += 20)
                Sleep(20);
            for (int mode = row.start; mode != row.chosen; mode += row.chosen > mode ? 1 : -1)
                EXPECT_EQ(test::Press(dialog, IDC_UPDATE_MODE_1 + mode - 1, row.chosen > mode ? VK_DOWN : VK_UP),
                          item(IDC_UPDATE_MODE_1 + mode + (row.chosen > mode ? 0 : -2)));
            const HWND chosen = item(IDC_UPDATE_MODE_1 + row.chosen - 1);
            EXPECT_EQ(SendMessageA(chosen, BM_GETCHECK, 0, 0), BST_CHECKED);
            // The button Enter presses from a choice is OK, drawn as the default.
            EXPECT_EQ(SendMessageA(item(IDOK), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
            test::Press(dialog, IDC_UPDATE_MODE_1 + row.chosen - 1, row.key, false);
        });
        const bool saved = row.key == VK_RETURN;
        EXPECT_EQ(output, std::string("startup 1\nupdates ") + (saved ? "1" : "2") +
                              " resource=TestHost.exe\n");
        EXPECT_EQ(test::ReadFileText(kSettings),
                  saved ? section(row.language) + "UpdateMode=" + std::to_string(row.chosen) +
                              "\r\nCheck=false\r\n" + other + "[General]\r\nBramokUpload=" +
                              (row.toggle ? "false" : "true") + "\r\n"
                        : before);
    }
}
