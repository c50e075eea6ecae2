#include "activity/SystemInventory.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cpuid.h>

#include <clocale>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kPath = "C:\\brmtest\\inventory.inf";

// The file a recorder process writes.
std::string Inventory(const char* extra = "")
{
    DeleteFileA(kPath.c_str());
    test::RunProcess("\"" + test::ExecutableFolder() + "ActivityRecorder.exe\" " + kPath + extra,
                     60000);
    return test::ReadFileText(kPath);
}

// What follows the colon on each line of a /proc file (seen through drive Z:) starting with key.
std::vector<std::string> Proc(const char* file, const std::string& key)
{
    std::istringstream text(test::ReadFileText(std::string("Z:\\proc\\") + file));
    std::vector<std::string> values;
    for (std::string line; std::getline(text, line);)
        if (line.rfind(key, 0) == 0)
            values.push_back(line.substr(line.find(':') + 1));
    return values;
}

} // namespace

TEST(SystemInventory, MatchesWhatTheMachineReportsElsewhereAndLeavesOutWhatFails)
{
    // The brand text this process's CPUID gives: under an emulator it is the emulator's.
    unsigned int cpu[13] = {};
    for (unsigned int i = 0; __get_cpuid_max(0x80000000u, nullptr) >= 0x80000004u && i < 3; ++i)
        __get_cpuid(0x80000002u + i, &cpu[4 * i], &cpu[4 * i + 1], &cpu[4 * i + 2],
                    &cpu[4 * i + 3]);
    std::string brand = reinterpret_cast<const char*>(cpu);
    brand.erase(0, brand.find_first_not_of(" \t"));
    // Wine's profile code drops trailing blanks when a later value makes it save the file again.
    const std::string trimmed = brand.substr(0, brand.find_last_not_of(" \t") + 1);
    CreateDirectoryA("C:\\brmtest", nullptr);
    const std::string before = std::setlocale(LC_ALL, nullptr);
    WriteSystemInventory(kPath.c_str());   // leaves the process locale alone
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
    const std::string locale = std::setlocale(LC_ALL, "");
    std::setlocale(LC_ALL, "C");

    const std::string start = "[System]\r\nVersion=11.3\r\n";
    const std::string head = start + "OS=Microsoft Windows 8.1\r\nArchitecture=64-bit\r\nLocale=" +
                             locale + "\r\nCPU=" + trimmed + "\r\n";
    const std::vector<std::string> packages = Proc("cpuinfo", "physical id");
    const std::size_t physical = std::set<std::string>(packages.begin(), packages.end()).size();
    const std::string counts = "Physical CPUs=" + std::to_string(physical) + "\r\nCPU Cores=" +
        std::to_string(physical * std::stoul(Proc("cpuinfo", "cpu cores").at(0))) +
        "\r\nLogical CPUs=" + std::to_string(Proc("cpuinfo", "processor").size()) + "\r\nRAM=";
    test::SetValue(HKEY_CURRENT_USER, "Software\\Wine", "Version", std::string("win81\0", 6));
    std::string items = Inventory();
    ASSERT_EQ(items.substr(0, head.size() + counts.size()), head + counts);
    // RAM in whole mebibytes (the kernel keeps some back); qemu gives a 32-bit process the
    // total modulo 4 GiB.
    items.erase(0, head.size() + counts.size());
    const unsigned long long ram = std::stoull(items);
    unsigned long long linuxMiB = std::stoull(Proc("meminfo", "MemTotal:").at(0)) / 1024;
    if (sizeof(void*) == 4 && brand.rfind("QEMU", 0) == 0)
        linuxMiB %= 4096;
    EXPECT_TRUE(ram <= linuxMiB && ram + 1 >= linuxMiB) << items;
    // Then the display the session saw.
    std::string screen = test::ReadFileText("Z:" + std::string(std::getenv("BRM_TEST_ENV")) +
                                            "/screen");
    screen.erase(screen.find('\n'));
    EXPECT_NE(items.find("\r\nDisplay Adapter="), std::string::npos) << items;
    EXPECT_EQ(items.substr(items.find("\r\nDisplay Width=")),
              "\r\nDisplay Width=" + screen.substr(0, screen.find('x')) + "\r\nDisplay Height=" +
                  screen.substr(screen.find('x') + 1) + "\r\nDisplay Count=1\r\n");
    // Every query that can fail failing: only what needs none of them.
    EXPECT_EQ(Inventory(" failing"), start + "Locale=" + locale + "\r\nCPU=" + brand + "\r\n");

    // The name follows the Windows version wine reports: product type, service pack and
    // processor; a 32-bit process sees an x86 processor, so XP x64 falls to the last 5.2 row.
    const std::string server2003 = "Server 2003,  Service Pack 2";
    const std::string xp64 = "XP Professional x64 Edition Service Pack 2";
    const std::string rows[][2] = {{"win2003", server2003},
                                   {"winxp64", sizeof(void*) == 8 ? xp64 : server2003}};
    for (const auto& row : rows) {
        test::SetValue(HKEY_CURRENT_USER, "Software\\Wine", "Version", row[0] + '\0');
        const std::string os = "\r\nOS=Microsoft Windows " + row[1] + "\r\nArchitecture=64-bit\r\n";
        EXPECT_NE(Inventory().find(os), std::string::npos) << row[0];
    }
    test::DeleteValue(HKEY_CURRENT_USER, "Software\\Wine", "Version");
}
