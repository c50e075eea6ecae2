#include "language/LanguageResourceIds.h"
#include "tests/support/Deployment.h"
#include "tests/support/TestService.h"
#include "tests/support/WinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const std::string kFolder = "C:\\ProgramData\\VORANDA\\UpdateService";
const std::string kFile = kFolder + "\\Settings.ini";
constexpr DWORD kWaitMs = 20000;

// Runs the host through start-up and the dialog; drive gets the dialog's
// window while it shows, and the host's output comes back.
std::string RunDialog(const test::Deployment& deployment, const std::function<void(HWND)>& drive,
                      const std::string& extra = "")
{
    test::RunningProcess host("\"" + deployment.Folder() + "\\BramokHost.exe\" startup 1 updates " +
                              extra);
    EXPECT_TRUE(host.Started());
    HWND dialog = test::FindWindowWithControl(host.Id(), IDC_CHECK_NOW, kWaitMs);
    EXPECT_NE(dialog, nullptr) << "no dialog appeared";
    if (dialog != nullptr)
        drive(dialog);
    return host.Finish(kWaitMs);
}

bool Checked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string ModuleString(const std::string& module, UINT id)
{
    HMODULE resources = LoadLibraryExA(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char text[260] = "";
    LoadStringA(resources, id, text, sizeof text);
    FreeLibrary(resources);
    return text;
}

class SoftwareUpdatesDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RemoveUpdateService();
        test::RemoveTree("C:\\ProgramData\\VORANDA");
        CreateDirectoryA("C:\\ProgramData\\VORANDA", nullptr);
        CreateDirectoryA(kFolder.c_str(), nullptr);
        test::DeleteProductKey();
        test::SetLanguageValue(std::string("uk\0", 3), REG_SZ);
        for (const char* code : {"uk", "us", "nl"})
            m_deployment.AddLanguage(code);
    }
    void TearDown() override
    {
        test::RemoveTree("C:\\ProgramData\\VORANDA");
        test::DeleteProductKey();
    }
    test::Deployment m_deployment{"updates-dialog"};
};

} // namespace

TEST_F(SoftwareUpdatesDlgTest, DutchEditionIsReadAndWrittenOnOk)
{
    test::SetLanguageValue(std::string("nl\0", 3), REG_SZ);
    ASSERT_TRUE(test::WriteFileText(kFile, "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=2\r\n"
                                           "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=3\r\n"));
    std::string caption;
    bool secondChecked = false;
    const std::string output = RunDialog(m_deployment, [&](HWND dialog) {
        caption = test::WindowText(dialog);
        secondChecked = Checked(dialog, IDC_UPDATE_MODE_2) && !Checked(dialog, IDC_UPDATE_MODE_1) &&
                        Checked(dialog, IDC_PRODUCT_UPLOAD);
        Click(dialog, IDC_UPDATE_MODE_3);
        Click(dialog, IDC_PRODUCT_UPLOAD);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(caption, "Software-updates");
    EXPECT_TRUE(secondChecked);
    EXPECT_NE(output.find("updates 1 resource=BramokHost.exe"), std::string::npos) << output;
    EXPECT_EQ(test::ReadFileText(kFile),
              "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=3\r\nCheck=false\r\n"
              "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=3\r\n"
              "[General]\r\nBramokUpload=false\r\n");
}

TEST_F(SoftwareUpdatesDlgTest, UnknownModeShowsTheFirstRadioAndIsWrittenBack)
{
    ASSERT_TRUE(test::WriteFileText(kFile, "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=5\r\n"));
    bool firstChecked = false;
    RunDialog(m_deployment, [&](HWND dialog) {
        firstChecked = Checked(dialog, IDC_UPDATE_MODE_1);
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(firstChecked);
    EXPECT_EQ(test::ProfileString(kFile, "BRAMOK 11.3 (English UK)", "UpdateMode"), "5");
    EXPECT_EQ(test::ProfileString(kFile, "General", "BramokUpload"), "true");
}

TEST_F(SoftwareUpdatesDlgTest, CancelKeepsOnlyTheCheckNowFlag)
{
    const std::string original = "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=2\r\n";
    ASSERT_TRUE(test::WriteFileText(kFile, original));
    bool statusHidden = false;
    std::string output = RunDialog(m_deployment, [&](HWND dialog) {
        Click(dialog, IDC_UPDATE_MODE_1);
        Click(dialog, IDC_PRODUCT_UPLOAD);
        Click(dialog, IDC_CHECK_NOW);   // no service installed
        statusHidden = !IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_STATUS));
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(statusHidden);
    EXPECT_NE(output.find("updates 2 resource=BramokHost.exe"), std::string::npos) << output;
    EXPECT_EQ(test::ReadFileText(kFile), original + "Check=true\r\n");

    // Escape and the close box cancel too, writing nothing.
    for (UINT message : {WM_CLOSE, WM_KEYDOWN}) {
        output = RunDialog(m_deployment, [&](HWND dialog) {
            Click(dialog, IDC_UPDATE_MODE_3);
            if (message == WM_CLOSE)
                SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_NE(output.find("updates 2"), std::string::npos) << output;
    }
    EXPECT_EQ(test::ReadFileText(kFile), original + "Check=true\r\n");
}

TEST_F(SoftwareUpdatesDlgTest, CheckNowShowsWhatTheServiceSaid)
{
    test::TestService service(kFolder + "\\controls.txt", kFile, "BRAMOK 11.3 (English US)", false);
    ASSERT_TRUE(service.Start());
    test::SetLanguageValue(std::string("us\0", 3), REG_SZ);
    std::string sent;
    std::string failed;
    bool failedShown = false;
    RunDialog(m_deployment, [&](HWND dialog) {
        Click(dialog, IDC_CHECK_NOW);
        sent = test::WindowText(GetDlgItem(dialog, IDC_CHECK_STATUS));
        service.Stop();
        Click(dialog, IDC_CHECK_NOW);
        failed = test::WindowText(GetDlgItem(dialog, IDC_CHECK_STATUS));
        failedShown = IsWindowVisible(GetDlgItem(dialog, IDC_CHECK_STATUS)) != FALSE;
        Click(dialog, IDOK);
    });
    const std::string module = m_deployment.Folder() + "\\us\\BRMSUPP.DLL";
    EXPECT_EQ(sent, ModuleString(module, IDS_CHECK_REQUEST_SENT));
    EXPECT_EQ(failed, ModuleString(module, IDS_CHECK_REQUEST_FAILED));
    EXPECT_TRUE(failedShown);
    EXPECT_EQ(test::ReadFileText(kFolder + "\\controls.txt"), "130 check=true\n");
    EXPECT_EQ(test::ProfileString(kFile, "BRAMOK 11.3 (English US)", "Check"), "false");
}

TEST_F(SoftwareUpdatesDlgTest, HelpGoesToTheHostAndAFailedSaveIsReported)
{
    // Settings.ini held open by another party: OK cannot save.
    ASSERT_TRUE(test::WriteFileText(kFile, "[General]\r\nBramokUpload=false\r\n"));
    HANDLE held = CreateFileA(kFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string boxText;
    const std::string output = RunDialog(m_deployment, [&](HWND dialog) {
        Click(dialog, ID_HELP);
        DWORD processId = 0;
        GetWindowThreadProcessId(dialog, &processId);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        HWND box = test::FindMessageBox(processId, kWaitMs);
        ASSERT_NE(box, nullptr);
        boxText = test::WindowText(GetDlgItem(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    CloseHandle(held);
    EXPECT_NE(output.find("help context 0x2006d command 1"), std::string::npos) << output;
    EXPECT_NE(output.find("updates 1 resource=BramokHost.exe"), std::string::npos) << output;
    EXPECT_EQ(boxText,
              ModuleString(m_deployment.Folder() + "\\uk\\BRMSUPP.DLL", IDS_SETTINGS_NOT_SAVED));
    EXPECT_EQ(test::ReadFileText(kFile), "[General]\r\nBramokUpload=false\r\n");
}

TEST_F(SoftwareUpdatesDlgTest, MissingTemplateGivesMinusOneAndRestoresTheHandle)
{
    test::Deployment deployment("updates-no-template");
    // A resource module without dialog 109 in the uk folder.
    CreateDirectoryA((deployment.Folder() + "\\uk").c_str(), nullptr);
    test::CopyFileTo(test::ExecutableFolder() + "fwtest\\TestModule.dll",
                     deployment.Folder() + "\\uk\\BRMSUPP.DLL");
    const std::string output = deployment.RunText("startup 1 updates updates noparent");
    EXPECT_EQ(output, "startup 1\nupdates -1 resource=BramokHost.exe\n"
                      "updates -1 resource=BramokHost.exe\n");
    EXPECT_FALSE(test::FileExists(kFile));
}
