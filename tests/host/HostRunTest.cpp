#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(HostRunTest, SoakOfAThousandCyclesHoldsNothingMoreThanAfterTheFirst)
{
    test::CleanMachine();
    test::Deployment deployment("host-run");
    deployment.AddLanguage("nl");
    const std::string record = "C:\\brmtest\\host-browser.txt";
    test::UseRecordingBrowser(record);
    // A page on every 50th cycle: 20 browsers, enough to show a leak per open, as a 32-bit
    // process start under emulation costs about a second.
    const std::string output = test::RunProcess(deployment.Host() + "soak 1000 50", 280000);
    const std::size_t first = output.find(" first "), last = output.find(" last ");
    ASSERT_TRUE(first != std::string::npos && last != std::string::npos) << output;
    EXPECT_EQ(output.substr(first + 7, last - first - 7) + "\n", output.substr(last + 6)) << output;
    EXPECT_EQ(output.find("handles=0 "), std::string::npos) << "no handle count: " << output;
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "1-1-9", "1"), "1000");
    EXPECT_EQ(test::RecordLines(record, 20).size(), 20u);
    DeleteFileA(record.c_str());
    test::CleanMachine();
}
