#include "activity/SystemInventory.h"

#include "tests/support/WinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// The lines of the "System" section, in file order.
KeyValues ReadSystemSection(const std::string& path)
{
    KeyValues items;
    std::istringstream lines(test::ReadFileText(path));
    std::string line;
    bool inSystem = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inSystem = line == "[System]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inSystem && equals != std::string::npos)
            items.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return items;
}

std::string ValueOf(const KeyValues& items, const std::string& key)
{
    for (const auto& item : items)
        if (item.first == key)
            return item.second;
    return "<missing>";
}

std::string TempFile(const char* name)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::string RegistryProcessorName()
{
    char name[256] = "";
    DWORD size = sizeof name;
    RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                 "ProcessorNameString", RRF_RT_REG_SZ, nullptr, name, &size);
    return name;
}

// Line of /proc/meminfo or count of lines of /proc/cpuinfo, seen through Z:.
unsigned long long MemTotalKiB()
{
    std::istringstream lines(test::ReadFileText("Z:\\proc\\meminfo"));
    std::string key;
    unsigned long long kib = 0;
    while (lines >> key >> kib)
        if (key == "MemTotal:")
            return kib;
        else
            lines.ignore(1 << 16, '\n');
    return 0;
}

int LinuxProcessorCount()
{
    std::istringstream lines(test::ReadFileText("Z:\\proc\\cpuinfo"));
    std::string line;
    int count = 0;
    while (std::getline(lines, line))
        if (line.rfind("processor", 0) == 0)
            ++count;
    return count;
}

void SetWineVersion(const char* version)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                    &key, nullptr);
    if (version != nullptr)
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(strlen(version) + 1));
    else
        RegDeleteValueA(key, "Version");
    RegCloseKey(key);
}

} // namespace

TEST(SystemInventory, MatchesWhatTheMachineReportsElsewhere)
{
    const std::string path = TempFile("inventory-check.inf");
    const std::string localeBefore = std::setlocale(LC_ALL, nullptr);
    WriteSystemInventory(path.c_str());
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), localeBefore) << "the process locale changed";
    const KeyValues items = ReadSystemSection(path);

    // Keys appear in the fixed order, each at most once, Version first.
    const char* order[] = {"Version", "OS", "Architecture", "Locale", "CPU", "Physical CPUs",
                           "CPU Cores", "Logical CPUs", "RAM", "Display Adapter",
                           "Display Width", "Display Height", "Display Count"};
    std::size_t next = 0;
    for (const auto& item : items) {
        while (next < std::size(order) && item.first != order[next])
            ++next;
        ASSERT_LT(next, std::size(order)) << "key out of order or unknown: " << item.first;
        ++next;
    }
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front(), std::make_pair(std::string("Version"), std::string("11.3")));

    EXPECT_EQ(ValueOf(items, "Logical CPUs"), std::to_string(LinuxProcessorCount()));
    const unsigned long long linuxMiB = MemTotalKiB() / 1024;
    const unsigned long long ram = std::stoull(ValueOf(items, "RAM"));
    EXPECT_LE(ram, linuxMiB);
    EXPECT_GE(ram + 1, linuxMiB);

    EXPECT_EQ(ValueOf(items, "CPU"), Trim(RegistryProcessorName()));

    std::string screen = test::ReadFileText(test::TestFactsFolder() + "\\screen");
    screen = Trim(screen);
    ASSERT_NE(screen.find('x'), std::string::npos) << "no screen size recorded";
    EXPECT_EQ(ValueOf(items, "Display Width"), screen.substr(0, screen.find('x')));
    EXPECT_EQ(ValueOf(items, "Display Height"), screen.substr(screen.find('x') + 1));
    EXPECT_EQ(ValueOf(items, "Display Count"), "1");
    EXPECT_NE(ValueOf(items, "Display Adapter"), "<missing>");

    // The C runtime names the same locale.
    const char* runtime = std::setlocale(LC_ALL, "");
    ASSERT_NE(runtime, nullptr);
    EXPECT_EQ(ValueOf(items, "Locale"), runtime);
    std::setlocale(LC_ALL, "C");

    EXPECT_EQ(ValueOf(items, "Architecture"), "64-bit");
    DeleteFileA(path.c_str());
}

TEST(SystemInventory, ProcessorCountsAgreeWithTheLinuxSide)
{
    uint32_t packages = 99, cores = 99, logical = 99;
    CountProcessors(packages, cores, logical);
    EXPECT_EQ(logical, static_cast<uint32_t>(LinuxProcessorCount()));
    EXPECT_GE(packages, 1u);
    EXPECT_GE(cores, packages);
    EXPECT_GE(logical, cores);
}

TEST(SystemInventory, NothingIsWrittenIntoAMissingFolder)
{
    const std::string path = TempFile("no-such-folder\\inventory.inf");
    WriteSystemInventory(path.c_str());
    EXPECT_FALSE(test::FileExists(path));
    WriteSystemInventory(nullptr);
    WriteSystemInventory("");
}

TEST(SystemInventory, OsNameFollowsTheWindowsVersionWineReports)
{
    // Each version is seen by a new process, so a helper writes the file.
    const struct {
        const char* version;
        const char* os;
    } rows[] = {
        {"win81", "Microsoft Windows 8.1"},
        // The writer is given "Microsoft " (see the naming tests); wine's
        // profile code drops trailing blanks when it saves the file again.
        {"win10", "Microsoft"},
        {"vista", "Microsoft Windows Vista Service Pack 2"},
        {"winxp64", "Microsoft Windows XP Professional x64 Edition Service Pack 2"},
        {"win2003", "Microsoft Windows Server 2003,  Service Pack 2"},
    };
    const std::string recorder = test::ExecutableFolder() + "ActivityRecorder.exe";
    for (const auto& row : rows) {
        const std::string path = TempFile("inventory-os.inf");
        SetWineVersion(row.version);
        const int code = test::RunProcess("\"" + recorder + "\" inventory \"" + path + "\"", 60000);
        SetWineVersion(nullptr);
        ASSERT_EQ(code, 0) << row.version;
        const KeyValues items = ReadSystemSection(path);
        EXPECT_EQ(ValueOf(items, "OS"), row.os) << row.version;
        EXPECT_EQ(ValueOf(items, "Architecture"), "64-bit") << row.version;
        DeleteFileA(path.c_str());
    }
}
