#include "language/LanguageResourceIds.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct HostRunTest : ::testing::Test {
    void SetUp() override
    {
        test::CleanMachine();
        test::SetLanguage(std::string("nl\0", 3));
        m_deployment.AddLanguage("nl");
    }
    void TearDown() override { test::CleanMachine(); }
    test::Deployment m_deployment{"host-run"};
};

} // namespace

TEST_F(HostRunTest, DutchDialogShowsAndSavesOnlyItsOwnEdition)
{
    ASSERT_TRUE(test::WriteFileText(test::kSettings, "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=2\r\n"
                                                     "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=3\r\n"));
    test::Process host(m_deployment.Host() + "startup 1 updates");
    HWND dialog = test::FindWindowWithControl(host.Id(), IDC_CHECK_NOW, 20000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(test::WindowText(GetDlgItem(dialog, IDC_CHECK_NOW)), "&Nu controleren");
    const auto item = [&](int id) { return GetDlgItem(dialog, id); };
    // Automatic radio buttons opening a group, an automatic check box in one of its own;
    // the stored mode and the upload default shown.
    for (int id : {IDC_UPDATE_MODE_1, IDC_UPDATE_MODE_2, IDC_UPDATE_MODE_3, IDC_PRODUCT_UPLOAD}) {
        const bool radio = id != IDC_PRODUCT_UPLOAD;
        EXPECT_EQ(GetWindowLongA(item(id), GWL_STYLE) & (BS_TYPEMASK | WS_GROUP),
                  (radio ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX) |
                      (radio && id != IDC_UPDATE_MODE_1 ? 0 : WS_GROUP)) << id;
        EXPECT_EQ(SendMessageA(item(id), BM_GETCHECK, 0, 0), !radio || id == IDC_UPDATE_MODE_2) << id;
    }
    for (int id : {IDC_UPDATE_MODE_3, IDC_PRODUCT_UPLOAD, IDOK})
        SendMessageA(item(id), BM_CLICK, 0, 0);
    EXPECT_EQ(host.Finish(20000), "startup 1\nupdates 1 resource=BramokHost.exe\n");
    // Entries go where the file had them, new ones after.
    EXPECT_EQ(test::ReadFileText(test::kSettings),
              "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=3\r\nCheck=false\r\n"
              "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=3\r\n[General]\r\nBramokUpload=false\r\n");
}

TEST_F(HostRunTest, SoakOfAThousandCyclesHoldsNothingMoreThanAfterTheFirst)
{
    const std::string record = "C:\\brmtest\\host-browser.txt";
    test::UseRecordingBrowser(record);
    // A page on every 50th cycle: 20 browsers, enough to show a leak per open, as a 32-bit
    // process start under emulation costs about a second.
    const std::string output = test::RunProcess(m_deployment.Host() + "soak 1000 50", 280000);
    // "soak N first <holdings> last <holdings>"
    const std::size_t first = output.find(" first "), last = output.find(" last ");
    ASSERT_TRUE(first != std::string::npos && last != std::string::npos) << output;
    EXPECT_EQ(output.substr(first + 7, last - first - 7) + "\n", output.substr(last + 6)) << output;
    EXPECT_EQ(output.find("handles=0 "), std::string::npos) << "no handle count: " << output;
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "1-1-9", "1"), "1000");
    EXPECT_EQ(test::RecordLines(record, 20).size(), 20u);
    DeleteFileA(record.c_str());
}
