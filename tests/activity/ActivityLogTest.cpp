#include "activity/ActivityLog.h"

#include "activity/ActivityNaming.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <list>
#include <string>

namespace {

using test::kLogFolder;
const char* const kKey = "SOFTWARE\\VORANDA\\BRAMOK";

void SetSwitch(DWORD value)
{
    test::SetValue(HKEY_LOCAL_MACHINE, kKey, "DisableActivityLog",
                   std::string(reinterpret_cast<const char*>(&value), sizeof value), REG_DWORD);
}

struct ActivityLogTest : ::testing::Test {
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        test::DeleteValue(HKEY_LOCAL_MACHINE, kKey, "DisableActivityLog");
        test::CleanMachine();
    }
};

} // namespace

TEST_F(ActivityLogTest, FileNamedForVolumeComputerAndMonthCountsGoOnAndAreHeldAtTheTop)
{
    // The test session gives drive C: a known serial; the computer name is the Linux host
    // name in capitals, at most 15 characters.
    std::string host = test::ReadFileText("Z:\\proc\\sys\\kernel\\hostname");
    host.resize(std::min<std::size_t>({host.find_first_of("\r\n."), host.size(), 15}));
    std::transform(host.begin(), host.end(), host.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::string prefix = kLogFolder + "\\" + std::to_string(0x12345678) +
                               std::to_string(HashComputerName(host.c_str())) + "_";
    const __time64_t now = _time64(nullptr);
    struct tm date = {};
    _localtime64_s(&date, &now);
    char month[16];
    snprintf(month, sizeof month, "%04d%02d.inf", date.tm_year + 1900, date.tm_mon + 1);
    LogActivity(12, 3);
    const std::string path = test::OnlyLog();
    EXPECT_EQ(path, prefix + month) << "host " << host;

    // Unreadable text starts again at 1; the top is held, not wrapped.
    ASSERT_TRUE(test::WriteFileText(path, "[5-1-9]\r\n1=41\r\n2=abc\r\n3=4294967295\r\n"
                                          "4=99999999999\r\n"));
    for (uint32_t key = 1; key <= 5; ++key)
        LogActivity(5, key);
    LogActivity(4294967295u, 0);
    EXPECT_EQ(test::ReadFileText(path), "[5-1-9]\r\n1=42\r\n2=1\r\n3=4294967295\r\n"
                                        "4=4294967295\r\n5=1\r\n[4294967295-1-9]\r\n0=1\r\n");

    // Each local month has a file of its own, the inventory first.
    for (int day : {31, 32}) {
        struct tm when = {0, 59, 23, day, 0, 2015 - 1900, 0, 0, -1};
        LogActivityAt(9, 1, _mktime64(&when));
    }
    EXPECT_EQ(test::ProfileString(prefix + "201501.inf", "9-1-9", "1"), "1");
    const std::string february = test::ReadFileText(prefix + "201502.inf");
    EXPECT_EQ(february.rfind("[System]\r\nVersion=11.3\r\n", 0), 0u) << february;
    EXPECT_EQ(february.substr(february.find("[9-1-9]")), "[9-1-9]\r\n1=1\r\n");
}

TEST_F(ActivityLogTest, SwitchTurnsTheLogOffAndAMissingFolderIsNeverCreated)
{
    for (DWORD off : {1u, 0x80000000u}) {
        SetSwitch(off);
        LogActivity(3, 1);
        EXPECT_TRUE(test::ListFiles(kLogFolder).empty()) << off;
    }
    SetSwitch(0);
    LogActivity(3, 1);
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "3-1-9", "1"), "1");
    test::RemoveTree(kLogFolder);
    LogActivity(1, 1);
    EXPECT_FALSE(test::FileExists(kLogFolder));
}

TEST_F(ActivityLogTest, ProcessesRecordingAtOnceLoseNoCount)
{
    std::list<test::Process> processes;
    for (int i = 0; i < 8; ++i)
        processes.emplace_back("\"" + test::ExecutableFolder() + "ActivityRecorder.exe\"");
    for (test::Process& process : processes) {
        int code = -1;
        process.Finish(120000, &code);
        EXPECT_EQ(code, 0);
    }
    const std::string path = test::OnlyLog();
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "5"), "200");
    const std::string text = test::ReadFileText(path);   // one inventory, not one per process
    EXPECT_NE(text.find("Version="), std::string::npos);
    EXPECT_EQ(text.find("Version="), text.rfind("Version="));
}
