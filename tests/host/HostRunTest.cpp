#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

TEST(HostRunTest, SoakOfAThousandCyclesHoldsNoMoreInItsSecondHalf)
{
    test::CleanMachine();
    test::Deployment deployment("host-run", {"nl"});   // the others fail to load
    const std::string record = "C:\\brmtest\\host-browser.txt";
    test::UseRecordingBrowser(record);
    // A page on every 50th cycle: 20 browsers, few enough under emulation, enough to show a leak.
    const std::string output = deployment.Run("soak 1000 50", 280000);
    // Handles, GDI objects, cursors, windows, then memory in KiB, each as "name=N".
    std::istringstream half(output.substr(output.find(" half ") + 6));
    std::istringstream last(output.substr(output.find(" last ") + 6));
    for (int count = 0; count < 5; ++count) {
        std::string before, after;
        ASSERT_TRUE(half >> before && last >> after) << output;
        const long was = std::stol(before.substr(before.find('=') + 1));
        const long slack = count < 4 ? 5 : was / 100;
        EXPECT_LE(std::stol(after.substr(after.find('=') + 1)), was + slack) << output;
        EXPECT_GT(was, 0) << output;
    }
    // Each cycle started a new log, so each took the inventory.
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "System", "Version"), "11.3");
    EXPECT_EQ(test::RecordLines(record, 20).size(), 20u);
}

// A focused link in the About box opens on Space, passes Tab and Esc on; "ok" on an earlier dialog
// leaves nothing to close this one in its second (twenty steps) open.
TEST(HostRunTest, AboutBoxKeysWorkWhileALinkHasTheFocus)
{
    const std::string record = "C:\\brmtest\\about.txt";
    test::UseRecordingBrowser(record);
    std::string keys = "startup 1 updates ok keys @2002 space tab";
    for (int step = 0; step < 17; ++step)
        keys += " @2002";
    EXPECT_EQ(test::RunHost(keys + " esc . about"),
              "startup 1\nupdates 1 resource=TestHost.exe\nshown modal\nspace 2002\n"
              "tab 1 2001 2002\nesc default\nabout 2\n");
    const std::string browser = "\"" + test::ExecutableFolder() + "RecordingBrowser.exe\" ";
    EXPECT_EQ(test::RecordLines(record, 1),
              std::vector<std::string>{browser + "\"http://www.voranda.com/bramok/\""});
}
