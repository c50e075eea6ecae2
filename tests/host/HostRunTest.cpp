#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

TEST(HostRunTest, SoakOfAThousandCyclesHoldsNoMoreInItsSecondHalf)
{
    test::CleanMachine();
    test::Deployment deployment("host-run", {"nl"});   // the others fail to load
    const std::string record = "C:\\brmtest\\host-browser.txt";
    test::UseRecordingBrowser(record);
    // A page on every 50th cycle: 20 browsers, 10 of them in the second half, enough to show a
    // leak per open, as a 32-bit process start under emulation costs about a second.
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

// The demo host (what it shows: the demo's test) says so when its command is unknown, or when
// the support module is not beside it or its path would not fit.
TEST(HostRunTest, DemoHostSaysWhatItCannotDo)
{
    test::Deployment d("demo-host"), alone("alone"), deep(std::string(238, 'd'));
    DeleteFileA((alone.folder + "\\BRMSUPP.dll").c_str());
    const std::string missing = "error: BRMSUPP.dll or its exports not found\n";
    const struct {
        const test::Deployment& place;
        std::string arguments, output;
        DWORD exitCode;
    } rows[] = {
        {d, "version frobnicate", "version 5 2015\nerror: unknown command frobnicate\n", 2},
        {alone, "version", missing, 3},
        {deep, "version", missing, 3},
    };
    for (const auto& row : rows) {
        const std::string host = row.place.folder + "\\h.exe";   // short, to fit the deep path
        CopyFileA((test::ExecutableFolder() + "BramokHost.exe").c_str(), host.c_str(), FALSE);
        test::Process run("\"" + host + "\" " + row.arguments);
        EXPECT_EQ(run.Finish(60000), row.output) << row.arguments;
        EXPECT_EQ(run.ExitCode(), row.exitCode) << row.arguments;
    }
}

// In the About box, a link with the focus opens its page on Space and takes no other keys: Tab
// moves on, Enter is OK, Esc cancels.
TEST(HostRunTest, AboutBoxKeysWorkWhileALinkHasTheFocus)
{
    const std::string record = "C:\\brmtest\\about.txt";
    test::UseRecordingBrowser(record);
    EXPECT_EQ(test::RunProcess(test::BuiltHost() + "keys @2002 space tab @2002 esc . about"),
              "shown modal\nspace 2002\ntab 1 2001 2002\nesc default\nabout 2\n");
    EXPECT_EQ(test::RecordLines(record, 1),
              std::vector<std::string>{"\"" + test::ExecutableFolder() +
                                       "RecordingBrowser.exe\" \"http://www.voranda.com/bramok/\""});
    // A dialog closed by "ok" leaves nothing behind to close the next one: the About box after
    // it waits a second (twenty steps that move no focus), then takes Enter.
    std::string idle;
    for (int step = 0; step < 20; ++step)
        idle += "@2001 ";
    const std::string keys = "startup 1 updates ok keys " + idle + "enter . about";
    EXPECT_EQ(test::RunProcess(test::BuiltHost() + keys),
              "startup 1\nupdates 1 resource=TestHost.exe\nshown modal\nenter default\nabout 1\n");
    EXPECT_EQ(test::RecordLines(record, 2, 1000).size(), 1u) << "Enter opened the link";
}
