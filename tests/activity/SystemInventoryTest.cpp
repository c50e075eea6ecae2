#include "activity/SystemInventory.h"

#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cpuid.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// The keys of the "System" section in file order; the file is removed.
KeyValues InventoryAt(const std::string& path)
{
    static char data[32768];
    const DWORD size = GetPrivateProfileSectionA("System", data, sizeof data, path.c_str());
    DeleteFileA(path.c_str());
    KeyValues items;
    for (const char* line = data; line < data + size && *line != '\0'; line += strlen(line) + 1)
        if (const char* equals = strchr(line, '='))
            items.emplace_back(std::string(line, equals), equals + 1);
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
    DeleteFileA((folder + std::string(name)).c_str());
    return folder + std::string(name);
}

// A figure of /proc seen through drive Z:: the value of a meminfo line, or a line count.
unsigned long long Proc(const char* file, const std::string& key, bool count)
{
    std::istringstream lines(test::ReadFileText(std::string("Z:\\proc\\") + file));
    unsigned long long total = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key, 0) == 0)
            total = count ? total + 1 : std::strtoull(line.c_str() + key.size(), nullptr, 10);
    return total;
}

} // namespace

TEST(SystemInventory, MatchesWhatTheMachineReportsElsewhere)
{
    const std::string path = TempFile("inventory-check.inf");
    const std::string localeBefore = std::setlocale(LC_ALL, nullptr);
    WriteSystemInventory(path.c_str());
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), localeBefore) << "the process locale changed";
    const KeyValues items = InventoryAt(path);

    // Keys appear in the fixed order, Version first.
    const char* order[] = {"Version", "OS", "Architecture", "Locale", "CPU", "Physical CPUs",
                           "CPU Cores", "Logical CPUs", "RAM", "Display Adapter",
                           "Display Width", "Display Height", "Display Count"};
    std::size_t next = 0;
    for (const auto& item : items) {
        while (next < std::size(order) && item.first != order[next])
            ++next;
        ASSERT_LT(next++, std::size(order)) << "key out of order or unknown: " << item.first;
    }
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front(), std::make_pair(std::string("Version"), std::string("11.3")));
    EXPECT_EQ(ValueOf(items, "Architecture"), "64-bit");

    const unsigned long long linuxCpus = Proc("cpuinfo", "processor", true);
    EXPECT_EQ(ValueOf(items, "Logical CPUs"), std::to_string(linuxCpus));
    uint32_t packages = 99, cores = 99, logical = 99;
    CountProcessors(packages, cores, logical);
    EXPECT_EQ(logical, linuxCpus);
    EXPECT_GE(packages, 1u);
    EXPECT_GE(cores, packages);
    EXPECT_GE(logical, cores);
    const unsigned long long linuxMiB = Proc("meminfo", "MemTotal:", false) / 1024;
    // The brand text this process's CPUID gives: under an emulator it is the emulator's.
    unsigned int brand[13] = {};
    for (unsigned int i = 0; __get_cpuid_max(0x80000000u, nullptr) >= 0x80000004u && i < 3; ++i)
        __get_cpuid(0x80000002u + i, &brand[4 * i], &brand[4 * i + 1], &brand[4 * i + 2],
                    &brand[4 * i + 3]);
    std::string expectedCpu = reinterpret_cast<const char*>(brand);
    expectedCpu.erase(0, expectedCpu.find_first_not_of(" \t"));
    expectedCpu.erase(expectedCpu.find_last_not_of(" \t") + 1);
    EXPECT_EQ(ValueOf(items, "CPU"), expectedCpu);
    const unsigned long long ram = std::stoull(ValueOf(items, "RAM"));
    // qemu gives a 32-bit process the total modulo 4 GiB.
    const bool emulated = sizeof(void*) == 4 && expectedCpu.rfind("QEMU", 0) == 0;
    const unsigned long long expectedMiB = emulated ? linuxMiB % 4096 : linuxMiB;
    EXPECT_LE(ram, expectedMiB);
    EXPECT_GE(ram + 1, expectedMiB);

    // The size the session saw the X server give, as "WIDTHxHEIGHT".
    std::istringstream screen(test::ReadFileText("Z:" + std::string(std::getenv("BRM_TEST_ENV")) +
                                                 "/screen"));
    std::string width, height;
    ASSERT_TRUE(std::getline(screen, width, 'x') && screen >> height) << "no screen size recorded";
    EXPECT_EQ(ValueOf(items, "Display Width"), width);
    EXPECT_EQ(ValueOf(items, "Display Height"), height);
    EXPECT_EQ(ValueOf(items, "Display Count"), "1");
    EXPECT_NE(ValueOf(items, "Display Adapter"), "<missing>");

    // The C runtime names the same locale.
    const char* runtime = std::setlocale(LC_ALL, "");
    ASSERT_NE(runtime, nullptr);
    EXPECT_EQ(ValueOf(items, "Locale"), runtime);
    std::setlocale(LC_ALL, "C");

    // Nothing is written into a missing folder.
    const std::string missing = TempFile("no-such-folder\\inventory.inf");
    WriteSystemInventory(missing.c_str());
    EXPECT_FALSE(test::FileExists(missing));
    WriteSystemInventory(nullptr);
    WriteSystemInventory("");
}

TEST(SystemInventory, OsNameFollowsTheWindowsVersionWineReports)
{
    // Each version is seen by a new process, so a helper writes the file.
    const char* const rows[][2] = {
        {"win81", "Microsoft Windows 8.1"},
        // The writer is given "Microsoft " (see the naming tests); wine's profile code drops
        // trailing blanks when it saves the file again.
        {"win10", "Microsoft"},
        {"vista", "Microsoft Windows Vista Service Pack 2"},
        // A 32-bit process sees an x86 processor, so XP x64 falls to the last 5.2 row.
        {"winxp64", sizeof(void*) == 8
                        ? "Microsoft Windows XP Professional x64 Edition Service Pack 2"
                        : "Microsoft Windows Server 2003,  Service Pack 2"},
        {"win2003", "Microsoft Windows Server 2003,  Service Pack 2"},
    };
    for (const auto& row : rows) {
        const std::string path = TempFile("inventory-os.inf");
        test::SetValue(HKEY_CURRENT_USER, "Software\\Wine", "Version", row[0] + std::string(1, '\0'));
        int code = -1;
        test::RunProcess("\"" + test::ExecutableFolder() + "ActivityRecorder.exe\" inventory \"" +
                             path + "\"", 60000, &code);
        test::DeleteValue(HKEY_CURRENT_USER, "Software\\Wine", "Version");
        ASSERT_EQ(code, 0) << row[0];
        const KeyValues items = InventoryAt(path);
        EXPECT_EQ(ValueOf(items, "OS"), row[1]) << row[0];
        EXPECT_EQ(ValueOf(items, "Architecture"), "64-bit") << row[0];
    }
}
