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

void SetSwitch(DWORD value)
{
    test::SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", "DisableActivityLog",
                   std::string(reinterpret_cast<const char*>(&value), sizeof value), REG_DWORD);
}

struct ActivityLogTest : ::testing::Test {
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        test::DeleteValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", "DisableActivityLog");
        test::CleanMachine();
    }
};

} // namespace

TEST_F(ActivityLogTest, InventoryFirstThenCountersFromWhatIsStoredAndAgainWhenTheFileWentAway)
{
    LogActivity(12, 3);
    const std::string path = test::OnlyLog();
    std::string text = test::ReadFileText(path);
    EXPECT_EQ(text.rfind("[System]\r\nVersion=11.3\r\n", 0), 0u) << text;
    const std::size_t counter = text.find("\r\n[12-1-9]\r\n3=1\r\n");
    ASSERT_EQ(counter + 17, text.size()) << text;
    EXPECT_EQ(test::CountOf(text, "["), 2) << text;

    const uint32_t runs[][2] = {{12, 3}, {12, 3}, {0, 3}, {4294967295u, 4294967295u}, {12, 0}};
    for (const auto& run : runs)
        LogActivity(run[0], run[1]);
    EXPECT_EQ(test::ReadFileText(path), text.substr(0, counter + 2) +
                                            "[12-1-9]\r\n3=3\r\n0=1\r\n[0-1-9]\r\n3=1\r\n"
                                            "[4294967295-1-9]\r\n4294967295=1\r\n");

    // Stored counts go on; text starts again at 1; the top is held, not wrapped.
    ASSERT_TRUE(test::WriteFileText(path, "[System]\r\nVersion=11.3\r\n[5-1-9]\r\n1=41\r\n2=abc\r\n3=4294967295\r\n"));
    const char* const expected[] = {"42", "1", "4294967295", "1"};
    for (uint32_t key = 1; key <= 4; ++key) {
        LogActivity(5, key);
        EXPECT_EQ(test::ProfileString(path, "5-1-9", std::to_string(key).c_str()), expected[key - 1]) << key;
    }
    EXPECT_EQ(test::CountOf(test::ReadFileText(path), "[System]"), 1);

    ASSERT_TRUE(DeleteFileA(path.c_str()));
    LogActivity(1, 1);
    EXPECT_EQ(test::ReadFileText(path).rfind("[System]\r\n", 0), 0u);
    EXPECT_EQ(test::ProfileString(path, "1-1-9", "1"), "1");
}

TEST_F(ActivityLogTest, SwitchTurnsTheLogOffAndAMissingFolderIsNeverCreated)
{
    SetSwitch(1);
    LogActivity(3, 1);
    EXPECT_TRUE(test::ListFiles(kLogFolder).empty());
    SetSwitch(0);
    LogActivity(3, 1);
    const std::string path = test::OnlyLog();
    const std::string before = test::ReadFileText(path);
    for (DWORD off : {1u, 0x80000000u}) {
        SetSwitch(off);
        LogActivity(3, 1);
        EXPECT_EQ(test::ReadFileText(path), before) << off;
    }
    SetSwitch(0);
    test::RemoveTree(kLogFolder);
    LogActivity(1, 1);
    EXPECT_FALSE(test::FileExists(kLogFolder));
}

TEST_F(ActivityLogTest, FileNameCarriesVolumeComputerNameAndMonthAndRollsOver)
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
    char path[kActivityPathSize];
    GetActivityLogPath(path);
    EXPECT_EQ(path, prefix + month) << "host " << host;
    // Asking for the path writes the inventory into a new file.
    EXPECT_EQ(test::ReadFileText(path).rfind("[System]\r\n", 0), 0u);

    const auto at = [](int mon, int day, int hour, int minute) {
        struct tm when = {0, minute, hour, day, mon - 1, 2015 - 1900, 0, 0, -1};
        return _mktime64(&when);
    };
    LogActivityAt(9, 1, at(1, 31, 23, 59));
    LogActivityAt(9, 1, at(2, 1, 0, 1));
    LogActivityAt(9, 1, at(2, 28, 12, 0));
    EXPECT_EQ(test::ProfileString(prefix + "201501.inf", "9-1-9", "1"), "1");
    EXPECT_EQ(test::ProfileString(prefix + "201502.inf", "9-1-9", "1"), "2");
    EXPECT_EQ(test::ReadFileText(prefix + "201502.inf").rfind("[System]\r\nVersion=11.3\r\n", 0), 0u);
}

TEST_F(ActivityLogTest, ProcessesRecordingAtOnceLoseNoCount)
{
    const std::string recorder = "\"" + test::ExecutableFolder() + "ActivityRecorder.exe\"";
    std::list<test::Process> processes;
    for (int i = 0; i < 8; ++i)
        processes.emplace_back(recorder + " record 25 77 5");
    for (test::Process& process : processes) {
        int code = -1;
        process.Finish(120000, &code);
        EXPECT_EQ(code, 0);
    }
    const std::string path = test::OnlyLog();
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "5"), "200");
    EXPECT_EQ(test::CountOf(test::ReadFileText(path), "Version="), 1);
}
