#include "host/HostResourceIds.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

TEST(HostRunTest, SoakOfAThousandCyclesHoldsNoMoreInItsSecondHalf)
{
    test::CleanMachine();
    test::Deployment deployment("host-run");
    deployment.AddLanguage("nl");
    const std::string record = "C:\\brmtest\\host-browser.txt";
    test::UseRecordingBrowser(record);
    // A page on every 50th cycle: 20 browsers, 10 of them in the second half, enough to show a
    // leak per open, as a 32-bit process start under emulation costs about a second.
    const std::string output = test::RunProcess(deployment.Host() + "soak 1000 50", 280000);
    std::istringstream half(output.substr(output.find(" half ") + 6)), last(output.substr(output.find(" last ") + 6));
    std::string before, after;   // handles, GDI objects, cursors, windows, then memory in KiB: "name=N"
    for (int count = 0; count < 5; ++count) {
        ASSERT_TRUE(half >> before && last >> after) << output;
        const long was = std::stol(before.substr(before.find('=') + 1));
        EXPECT_LE(std::stol(after.substr(after.find('=') + 1)), was + (count < 4 ? 5 : was / 100)) << output;
        EXPECT_GT(was, 0) << output;
    }
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "1-1-9", "1"), "1000");
    EXPECT_EQ(test::RecordLines(record, 20).size(), 20u);
}

// The demo host run as scripts/demo runs it, with the browser command the demo registers.
TEST(HostRunTest, DemoHostRunsTheDemosCommandLines)
{
    test::CleanMachine();
    test::Deployment d("demo-host");
    d.AddLanguage("uk");
    const std::string host = d.Folder() + "\\BramokHost.exe", record = "C:\\brmtest\\demo.txt";
    CopyFileA((test::ExecutableFolder() + "BramokHost.exe").c_str(), host.c_str(), FALSE);
    test::UseRecordingBrowser(record);
    const std::string browser = "\"" + test::ExecutableFolder() + "RecordingBrowser.exe\"";
    test::SetValue(HKEY_CLASSES_ROOT, test::kBrowserKey, nullptr, browser + " -nohome");
    const std::string uk = "uk\\BRMSUPP.DLL", rows[][2] = {
        {"startup 1 nowindow state version shutdown", "startup 1\n" + test::State(uk, uk) + "version 5 2015\nshutdown\n"},
        {"open 0 null", "open 0\n"},
        {"startup 1 updates ok about ok shutdown", "startup 1\nupdates 1 resource=BramokHost.exe\nabout 1\nshutdown\n"},
        {"version frobnicate", "version 5 2015\nerror: unknown command frobnicate\n"},
    };
    for (const auto& row : rows) {
        test::Process run("\"" + host + "\" " + row[0]);
        EXPECT_EQ(run.Finish(60000), row[1]) << row[0];
        EXPECT_EQ(run.ExitCode(), row[0] == "version frobnicate" ? 2u : 0u) << row[0];
    }
    // Without the support module beside it, or where its path would not fit, the host says so.
    for (const bool deep : {false, true}) {
        const test::Deployment place(deep ? std::string(238, 'd') : "alone");
        if (!deep) DeleteFileA((place.Folder() + "\\BRMSUPP.dll").c_str());
        CopyFileA(host.c_str(), (place.Folder() + "\\h.exe").c_str(), FALSE);
        test::Process run("\"" + place.Folder() + "\\h.exe\" version");
        EXPECT_EQ(run.Finish(60000), "error: BRMSUPP.dll or its exports not found\n") << deep;
        EXPECT_EQ(run.ExitCode(), 3u) << deep;
    }
    EXPECT_EQ(test::RecordLines(record, 1), std::vector<std::string>{browser + " http://www.voranda.com/bramok/"});
    EXPECT_EQ(test::ReadFileText(test::kSettings), "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=1\r\n"
              "Check=false\r\n[General]\r\nBramokUpload=true\r\n");
}

// In the About box, a link with the focus opens its page on Space and takes no other keys: Tab
// moves on, Enter is OK, Esc cancels.
TEST(HostRunTest, AboutBoxKeysWorkWhileALinkHasTheFocus)
{
    test::Deployment d("about-keys");
    const std::string record = "C:\\brmtest\\about.txt";
    test::UseRecordingBrowser(record);
    const int stops[] = {IDC_HOME_LINK, IDC_PRODUCT_LINK, IDOK};
    for (const auto& [link, key, result] : {std::tuple{IDC_PRODUCT_LINK, VK_ESCAPE, "about 2\n"},
                                            std::tuple{IDC_HOME_LINK, VK_RETURN, "about 1\n"}}) {
        DeleteFileA(record.c_str());
        test::Process host(d.Host() + "about");
        if (HWND about = test::FindWindowWithControl(host.Id(), IDC_HOME_LINK, 20000)) {
            test::Press(about, link, VK_SPACE, false);
            for (int stop = 0; stop < 3; ++stop)
                EXPECT_EQ(test::Press(about, stops[stop], VK_TAB), GetDlgItem(about, stops[(stop + 1) % 3]))
                    << "tab from " << stops[stop];
            test::Press(about, link, key, false);
        }
        EXPECT_EQ(host.Finish(20000), result);
        const std::string page = link == IDC_HOME_LINK ? "/\"" : "/bramok/\"";
        EXPECT_EQ(test::RecordLines(record, 1), std::vector<std::string>{"\"" + test::ExecutableFolder() +
                                                                     "RecordingBrowser.exe\" \"http://www.voranda.com" + page});
    }
}
