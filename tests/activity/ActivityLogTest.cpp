#include "activity/ActivityLog.h"

#include "activity/ActivityNaming.h"
#include "tests/support/WinTestSupport.h"

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

std::string CommonAppData()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

void SetSwitch(const DWORD* value)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key, nullptr);
    if (value != nullptr)
        RegSetValueExA(key, "DisableActivityLog", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(value), sizeof *value);
    else
        RegDeleteValueA(key, "DisableActivityLog");
    RegCloseKey(key);
}

__time64_t LocalTime(int year, int month, int day, int hour, int minute)
{
    struct tm date = {};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_hour = hour;
    date.tm_min = minute;
    date.tm_isdst = -1;
    return _mktime64(&date);
}

class ActivityLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_product = CommonAppData() + "\\BRAMOK";
        m_folder = m_product + "\\11.3";
        test::RemoveTree(m_folder);
        CreateDirectoryA(m_product.c_str(), nullptr);
        CreateDirectoryA(m_folder.c_str(), nullptr);
        SetSwitch(nullptr);
    }
    void TearDown() override
    {
        SetSwitch(nullptr);
        test::RemoveTree(m_folder);
    }

    std::vector<std::string> LogFiles() const { return test::ListFiles(m_folder); }

    std::string OnlyLogFile() const
    {
        const std::vector<std::string> files = LogFiles();
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? "" : m_folder + "\\" + files.front();
    }

    std::string m_product;
    std::string m_folder;
};

} // namespace

TEST_F(ActivityLogTest, FirstRunWritesInventoryThenCounter)
{
    LogActivity(12, 3);
    const std::string text = test::ReadFileText(OnlyLogFile());
    EXPECT_EQ(text.rfind("[System]\r\nVersion=11.3\r\n", 0), 0u) << text;
    const std::string counter = "\r\n[12-1-9]\r\n3=1\r\n";
    ASSERT_GE(text.size(), counter.size());
    EXPECT_EQ(text.substr(text.size() - counter.size()), counter) << text;
    EXPECT_EQ(test::CountOf(text, "["), 2) << text;
}

TEST_F(ActivityLogTest, LaterRunsCountAndAddKeysAndSectionsInOrder)
{
    LogActivity(12, 3);
    LogActivity(12, 3);
    const std::string path = OnlyLogFile();
    const std::string inventory = test::ReadFileText(path).substr(0, test::ReadFileText(path).find("[12-1-9]"));
    LogActivity(12, 0);
    LogActivity(0, 3);
    LogActivity(4294967295u, 4294967295u);

    const std::string text = test::ReadFileText(path);
    EXPECT_EQ(text, inventory +
                        "[12-1-9]\r\n3=2\r\n0=1\r\n"
                        "[0-1-9]\r\n3=1\r\n"
                        "[4294967295-1-9]\r\n4294967295=1\r\n");
    EXPECT_EQ(test::CountOf(text, "[System]"), 1);
}

TEST_F(ActivityLogTest, InventoryIsWrittenAgainWhenTheFileWasRemoved)
{
    LogActivity(1, 1);
    const std::string path = OnlyLogFile();
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    LogActivity(1, 1);
    const std::string text = test::ReadFileText(path);
    EXPECT_EQ(text.rfind("[System]\r\n", 0), 0u);
    EXPECT_EQ(test::ProfileString(path, "1-1-9", "1"), "1");
}

TEST_F(ActivityLogTest, StoredCounterTextsGiveADefinedNextCount)
{
    char path[kActivityPathSize];
    GetActivityLogPath(path);
    ASSERT_NE(path[0], '\0');
    const std::string stored =
        "[System]\r\nVersion=11.3\r\n"
        "[5-1-9]\r\n1=41\r\n2=\r\n3=abc\r\n4=4294967295\r\n5=2147483648\r\n6=-3\r\n7= 9\r\n";
    ASSERT_TRUE(test::WriteFileText(path, stored));
    for (uint32_t category = 1; category <= 8; ++category)
        LogActivity(5, category);

    const struct {
        const char* key;
        const char* value;
    } rows[] = {
        {"1", "42"},
        {"2", "1"},            // empty value
        {"3", "1"},            // text
        {"4", "4294967295"},   // held at the top, not wrapped to 0
        {"5", "2147483649"},   // past the signed range
        {"6", "1"},            // negative
        {"7", "10"},           // the profile reader drops the blank
        {"8", "1"},            // new key
    };
    for (const auto& row : rows)
        EXPECT_EQ(test::ProfileString(path, "5-1-9", row.key), row.value) << "key " << row.key;
    EXPECT_EQ(test::CountOf(test::ReadFileText(path), "[System]"), 1);
}

TEST_F(ActivityLogTest, SwitchTurnsTheLogOff)
{
    const DWORD on = 0;
    const DWORD off = 1;
    SetSwitch(&off);
    LogActivity(3, 1);
    EXPECT_TRUE(LogFiles().empty());

    SetSwitch(&on);
    LogActivity(3, 1);
    const std::string path = OnlyLogFile();
    const std::string before = test::ReadFileText(path);

    SetSwitch(&off);
    LogActivity(3, 1);
    EXPECT_EQ(test::ReadFileText(path), before);

    const DWORD big = 0x80000000u;
    SetSwitch(&big);
    LogActivity(3, 1);
    EXPECT_EQ(test::ReadFileText(path), before);
}

TEST_F(ActivityLogTest, MonthRolloverStartsANewFileWithItsOwnInventory)
{
    LogActivityAt(9, 1, LocalTime(2015, 1, 31, 23, 59));
    LogActivityAt(9, 1, LocalTime(2015, 2, 1, 0, 1));
    LogActivityAt(9, 1, LocalTime(2015, 2, 28, 12, 0));

    std::vector<std::string> files = LogFiles();
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0].find("_201501.inf"), std::string::npos) << files[0];
    EXPECT_NE(files[1].find("_201502.inf"), std::string::npos) << files[1];
    const std::string january = m_folder + "\\" + files[0];
    const std::string february = m_folder + "\\" + files[1];
    EXPECT_EQ(test::ProfileString(january, "9-1-9", "1"), "1");
    EXPECT_EQ(test::ProfileString(february, "9-1-9", "1"), "2");
    EXPECT_EQ(test::ReadFileText(february).rfind("[System]\r\nVersion=11.3\r\n", 0), 0u);
}

TEST_F(ActivityLogTest, FileNameCarriesVolumeComputerNameAndMonth)
{
    // The test session gives drive C: a known serial; the computer name is
    // the Linux host name in capitals, at most 15 characters.
    const std::string serialHex = test::Environment("BRM_TEST_VOLUME_SERIAL_HEX");
    const unsigned long serial = std::stoul(serialHex.empty() ? "12345678" : serialHex, nullptr, 16);
    std::string host = test::ReadFileText("Z:\\proc\\sys\\kernel\\hostname");
    host = host.substr(0, host.find_first_of("\r\n."));
    std::transform(host.begin(), host.end(), host.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    host = host.substr(0, 15);

    const __time64_t now = _time64(nullptr);
    struct tm date = {};
    _localtime64_s(&date, &now);
    char expected[MAX_PATH];
    snprintf(expected, sizeof expected, "%s\\%lu%lu_%04d%02d.inf", m_folder.c_str(), serial,
             static_cast<unsigned long>(HashComputerName(host.c_str())), date.tm_year + 1900,
             date.tm_mon + 1);

    char path[kActivityPathSize];
    GetActivityLogPath(path);
    EXPECT_STREQ(path, expected) << "host " << host;
    // Asking for the path writes the inventory into a new file.
    EXPECT_EQ(test::ReadFileText(path).rfind("[System]\r\n", 0), 0u);
}

TEST_F(ActivityLogTest, MissingLogFolderIsNeverCreated)
{
    test::RemoveTree(m_folder);
    LogActivity(1, 1);
    char path[kActivityPathSize];
    GetActivityLogPath(path);
    EXPECT_FALSE(test::FileExists(m_folder));
    EXPECT_FALSE(test::FileExists(path));
}

TEST_F(ActivityLogTest, ProcessesRecordingAtOnceLoseNoCount)
{
    constexpr int kProcesses = 8;
    constexpr int kRunsEach = 25;
    const std::string recorder = test::ExecutableFolder() + "ActivityRecorder.exe";
    std::vector<PROCESS_INFORMATION> started;
    for (int i = 0; i < kProcesses; ++i) {
        std::string line = "\"" + recorder + "\" record " + std::to_string(kRunsEach) + " 77 5";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        CloseHandle(process.hThread);
        started.push_back(process);
    }
    for (const PROCESS_INFORMATION& process : started) {
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(process.hProcess);
    }
    const std::string path = OnlyLogFile();
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "5"), std::to_string(kProcesses * kRunsEach));
    const std::string text = test::ReadFileText(path);
    EXPECT_EQ(test::CountOf(text, "[System]"), 1);
    EXPECT_EQ(test::CountOf(text, "Version="), 1);
}
