#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

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
    std::istringstream half(output.substr(output.find(" half ") + 6)),
        last(output.substr(output.find(" last ") + 6));
    std::string before, after;
    const auto value = [](const std::string& item) {
        return std::stol(item.substr(item.find('=') + 1));
    };
    for (int count = 0; count < 4; ++count) {   // handles, GDI objects, cursors, windows
        ASSERT_TRUE(half >> before && last >> after) << output;
        EXPECT_LE(value(after), value(before) + 5) << output;
        EXPECT_GT(value(before), 0) << output;
    }
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "1-1-9", "1"), "1000");
    EXPECT_EQ(test::RecordLines(record, 20).size(), 20u);
    DeleteFileA(record.c_str());
    test::CleanMachine();
}
