#include "language/LanguageResourceIds.h"
#include "updates/UpdateSettings.h"

#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kServiceFolder = "C:\\ProgramData\\VORANDA";
const std::string kFolder = kServiceFolder + "\\UpdateService";
const std::string kFile = kFolder + "\\Settings.ini";
const std::string kClosedWithOk = "startup 1\nupdates 1 resource=BramokHost.exe\n";
constexpr DWORD kWaitMs = 20000;

class SoftwareUpdatesDlgTest : public ::testing::Test {
protected:
    void SetUp() override { test::SetLanguage(std::string("uk\0", 3)); }
    void TearDown() override
    {
        test::RemoveTree(kServiceFolder);
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    }
    std::string Host() const { return "\"" + m_deployment.Folder() + "\\BramokHost.exe\" "; }
    test::Deployment m_deployment{"updates-sources"};
};

// The host's message box: a window with a text of id 0xFFFF that is not the dialog.
HWND FindMessageBox(DWORD processId)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(100)) {
        HWND found = test::FindWindowWithControl(processId, 0xFFFF, 0);
        if (found != nullptr && GetDlgItem(found, IDC_CHECK_NOW) == nullptr)
            return found;
    }
    return nullptr;
}

} // namespace

// OK reports a failed save only when the service's folder is there; without it (the service
// is not installed) or without a path it closes silently. Either way the result is IDOK.
TEST_F(SoftwareUpdatesDlgTest, OkReportsAFailedSaveOnlyWhenTheServiceFolderExists)
{
    m_deployment.AddLanguage("uk");
    const std::string notSaved = [] {
        HMODULE uk = LoadLibraryExA((test::ExecutableFolder() + "uk\\BRMSUPP.DLL").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
        char text[260] = "";
        LoadStringA(uk, IDS_SETTINGS_NOT_SAVED, text, sizeof text);
        FreeLibrary(uk);
        return std::string(text);
    }();
    ASSERT_FALSE(notSaved.empty());
    const struct {
        const char* name;
        const char* folder;   // made before the dialog opens, if any
        bool reported;
    } rows[] = {
        {"no service folder", nullptr, false},
        {"no UpdateService folder", "", false},
        {"a folder where the file should be", "\\UpdateService\\Settings.ini", true},
    };
    for (const auto& row : rows) {
        test::RemoveTree(kServiceFolder);
        if (row.folder != nullptr)
            test::FreshFolder(kServiceFolder + row.folder);
        test::Process host(Host() + "startup 1 updates ok");
        std::string boxText;
        if (row.reported) {
            HWND box = FindMessageBox(host.Id());
            boxText = box != nullptr ? test::WindowText(GetDlgItem(box, 0xFFFF)) : "<no box>";
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        // An unexpected box keeps the host from finishing.
        EXPECT_EQ(host.Finish(kWaitMs), kClosedWithOk) << row.name;
        EXPECT_EQ(boxText, row.reported ? notSaved : "") << row.name;
        EXPECT_EQ(test::FileExists(kFolder), row.folder != nullptr && row.folder[0] != '\0')
            << row.name;
    }
    EXPECT_FALSE(SettingsFolderExists(L""));
}

// A host with a dialog 109 of its own never gets it from the export, whose behaviour belongs
// to the language module's template: with none there, -1 and nothing read or written.
TEST_F(SoftwareUpdatesDlgTest, DialogComesFromTheLanguageModuleAlone)
{
    m_deployment.AddFolder("uk");
    CopyFileA((test::ExecutableFolder() + "fwtest\\TestModule.dll").c_str(),
              (m_deployment.Folder() + "\\uk\\BRMSUPP.DLL").c_str(), FALSE);
    // The host gets a copy of the real template as its own dialog 109.
    HMODULE uk = LoadLibraryExA((test::ExecutableFolder() + "uk\\BRMSUPP.DLL").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(uk, MAKEINTRESOURCEA(IDD_SOFTWARE_UPDATES), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const std::string hostPath = m_deployment.Folder() + "\\BramokHost.exe";
    HANDLE update = BeginUpdateResourceA(hostPath.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_SOFTWARE_UPDATES),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                LockResource(LoadResource(uk, found)), SizeofResource(uk, found)));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    FreeLibrary(uk);
    HMODULE host = LoadLibraryExA(hostPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(FindResourceA(host, MAKEINTRESOURCEA(IDD_SOFTWARE_UPDATES), MAKEINTRESOURCEA(5)),
              nullptr);
    FreeLibrary(host);

    test::FreshFolder(kFolder);
    test::WriteFileText(kFile, "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=2\r\n");
    // Were the host's dialog shown, "ok" would close it and write the file.
    EXPECT_EQ(test::RunProcess(Host() + "startup 1 updates ok updates noparent ok", kWaitMs),
              "startup 1\nupdates -1 resource=BramokHost.exe\nupdates -1 resource=BramokHost.exe\n");
    EXPECT_EQ(test::ReadFileText(kFile), "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=2\r\n");
}
