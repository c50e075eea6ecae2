#include "activity/ActivityLog.h"

#include "activity/ActivityNaming.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <list>
#include <string>

namespace {

const std::string kFolder = "C:\\ProgramData\\BRAMOK\\11.3";

void SetSwitch(DWORD value)
{
    test::SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", "DisableActivityLog",
                   std::string(reinterpret_cast<const char*>(&value), sizeof value), REG_DWORD);
}

class ActivityLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TearDown();
        test::FreshFolder(kFolder);
    }
    void TearDown() override
    {
        test::DeleteValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", "DisableActivityLog");
        test::RemoveTree(kFolder);
    }
    static std::string OnlyLogFile()
    {
        const std::vector<std::string> files = test::ListFiles(kFolder);
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? "" : kFolder + "\\" + files.front();
    }
};

} // namespace

TEST_F(ActivityLogTest, InventoryFirstThenCountersInOrderAndAgainWhenTheFileWentAway)
{
    LogActivity(12, 3);
    const std::string path = OnlyLogFile();
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

    ASSERT_TRUE(DeleteFileA(path.c_str()));
    LogActivity(1, 1);
    text = test::ReadFileText(path);
    EXPECT_EQ(text.rfind("[System]\r\n", 0), 0u) << text;
    EXPECT_EQ(test::ProfileString(path, "1-1-9", "1"), "1");
}

TEST_F(ActivityLogTest, StoredCounterTextsGiveADefinedNextCount)
{
    char path[kActivityPathSize];
    GetActivityLogPath(path);
    ASSERT_TRUE(test::WriteFileText(path, "[System]\r\nVersion=11.3\r\n[5-1-9]\r\n1=41\r\n2=\r\n"
                                          "3=abc\r\n4=4294967295\r\n5=2147483648\r\n6=-3\r\n7= 9\r\n"));
    for (uint32_t category = 1; category <= 8; ++category)
        LogActivity(5, category);
    // Empty, text, negative and new keys start at 1; the top is held, not wrapped; the
    // signed range is no limit; the profile reader drops the blank of key 7.
    const char* const expected[] = {"42", "1", "1", "4294967295", "2147483649", "1", "10", "1"};
    for (int key = 1; key <= 8; ++key)
        EXPECT_EQ(test::ProfileString(path, "5-1-9", std::to_string(key).c_str()), expected[key - 1])
            << "key " << key;
    EXPECT_EQ(test::CountOf(test::ReadFileText(path), "[System]"), 1);
}

TEST_F(ActivityLogTest, SwitchTurnsTheLogOffAndAMissingFolderIsNeverCreated)
{
    SetSwitch(1);
    LogActivity(3, 1);
    EXPECT_TRUE(test::ListFiles(kFolder).empty());
    SetSwitch(0);
    LogActivity(3, 1);
    const std::string path = OnlyLogFile();
    const std::string before = test::ReadFileText(path);
    for (DWORD off : {1u, 0x80000000u}) {
        SetSwitch(off);
        LogActivity(3, 1);
        EXPECT_EQ(test::ReadFileText(path), before) << off;
    }

    SetSwitch(0);
    test::RemoveTree(kFolder);
    LogActivity(1, 1);
    char missing[kActivityPathSize];
    GetActivityLogPath(missing);
    EXPECT_FALSE(test::FileExists(kFolder));
}

TEST_F(ActivityLogTest, MonthRolloverStartsANewFileWithItsOwnInventory)
{
    const auto at = [](int month, int day, int hour, int minute) {
        struct tm date = {0, minute, hour, day, month - 1, 2015 - 1900, 0, 0, -1};
        return _mktime64(&date);
    };
    LogActivityAt(9, 1, at(1, 31, 23, 59));
    LogActivityAt(9, 1, at(2, 1, 0, 1));
    LogActivityAt(9, 1, at(2, 28, 12, 0));
    std::vector<std::string> files = test::ListFiles(kFolder);
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0].find("_201501.inf"), std::string::npos) << files[0];
    EXPECT_NE(files[1].find("_201502.inf"), std::string::npos) << files[1];
    EXPECT_EQ(test::ProfileString(kFolder + "\\" + files[0], "9-1-9", "1"), "1");
    EXPECT_EQ(test::ProfileString(kFolder + "\\" + files[1], "9-1-9", "1"), "2");
    EXPECT_EQ(test::ReadFileText(kFolder + "\\" + files[1]).rfind("[System]\r\nVersion=11.3\r\n", 0),
              0u);
}

TEST_F(ActivityLogTest, FileNameCarriesVolumeComputerNameAndMonth)
{
    // The test session gives drive C: a known serial; the computer name is the Linux host
    // name in capitals, at most 15 characters.
    const char* serial = std::getenv("BRM_TEST_VOLUME_SERIAL_HEX");
    std::string host = test::ReadFileText("Z:\\proc\\sys\\kernel\\hostname");
    host.resize(std::min<std::size_t>({host.find_first_of("\r\n."), host.size(), 15}));
    std::transform(host.begin(), host.end(), host.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const __time64_t now = _time64(nullptr);
    struct tm date = {};
    _localtime64_s(&date, &now);
    char expected[MAX_PATH];
    snprintf(expected, sizeof expected, "%s\\%lu%lu_%04d%02d.inf", kFolder.c_str(),
             std::strtoul(serial != nullptr ? serial : "12345678", nullptr, 16),
             static_cast<unsigned long>(HashComputerName(host.c_str())), date.tm_year + 1900,
             date.tm_mon + 1);
    char path[kActivityPathSize];
    GetActivityLogPath(path);
    EXPECT_STREQ(path, expected) << "host " << host;
    // Asking for the path writes the inventory into a new file.
    EXPECT_EQ(test::ReadFileText(path).rfind("[System]\r\n", 0), 0u);
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
    const std::string path = OnlyLogFile();
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "5"), "200");
    const std::string text = test::ReadFileText(path);
    EXPECT_EQ(test::CountOf(text, "Version="), 1);
}
