#include "activity/SystemInventory.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cpuid.h>

#include <clocale>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::string kPath = "C:\\brmtest\\inventory.inf";

// The "System" section a recorder process writes, as "key=value" lines in file order.
std::string Inventory(const char* extra = "")
{
    CreateDirectoryA("C:\\brmtest", nullptr);
    DeleteFileA(kPath.c_str());
    int code = -1;
    test::RunProcess("\"" + test::ExecutableFolder() + "ActivityRecorder.exe\" inventory \"" + kPath + "\"" + extra, 60000, &code);
    EXPECT_EQ(code, 0);
    char data[32768] = "";
    const DWORD size = GetPrivateProfileSectionA("System", data, sizeof data, kPath.c_str());
    std::string lines;
    for (const char* line = data; line < data + size && *line != '\0'; line += strlen(line) + 1)
        lines += std::string(line) + "\n";
    DeleteFileA(kPath.c_str());
    return lines;
}

// A fact of /proc seen through drive Z::the count of lines starting with key, or of the
// distinct such lines, or the value of the last.
std::string Proc(const char* file, const std::string& key, char what)
{
    std::istringstream lines(test::ReadFileText(std::string("Z:\\proc\\") + file));
    std::set<std::string> distinct;
    unsigned long long count = 0, value = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key, 0) == 0) {
            ++count;
            distinct.insert(line);
            value = std::strtoull(line.substr(line.find_first_of(":") + 1).c_str(), nullptr, 10);
        }
    return std::to_string(what == 'n' ? count : what == 'd' ? distinct.size() : value);
}

} // namespace

TEST(SystemInventory, MatchesWhatTheMachineReportsElsewhereAndLeavesOutWhatFails)
{
    // The brand text this process's CPUID gives: under an emulator it is the emulator's.
    unsigned int cpu[13] = {};
    for (unsigned int i = 0; __get_cpuid_max(0x80000000u, nullptr) >= 0x80000004u && i < 3; ++i)
        __get_cpuid(0x80000002u + i, &cpu[4 * i], &cpu[4 * i + 1], &cpu[4 * i + 2], &cpu[4 * i + 3]);
    std::string brand = reinterpret_cast<const char*>(cpu);
    brand = brand.substr(brand.find_first_not_of(" \t"));
    brand.erase(brand.find_last_not_of(" \t") + 1);
    const std::string before = std::setlocale(LC_ALL, nullptr);
    WriteSystemInventory(kPath.c_str());   // leaves the process locale alone
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
    const std::string locale = std::setlocale(LC_ALL, "");
    std::setlocale(LC_ALL, "C");
    std::string screen = test::ReadFileText("Z:" + std::string(std::getenv("BRM_TEST_ENV")) + "/screen");
    screen.erase(screen.find('\n'));
    const std::string physical = Proc("cpuinfo", "physical id", 'd');
    const std::string head = "Version=11.3\nOS=Microsoft Windows 8.1\nArchitecture=64-bit\nLocale=" + locale +
                             "\nCPU=" + brand + "\n";
    std::string expected = head + "Physical CPUs=" + physical + "\nCPU Cores=" +
        std::to_string(std::stoul(physical) * std::stoul(Proc("cpuinfo", "cpu cores", 'v'))) +
        "\nLogical CPUs=" + Proc("cpuinfo", "processor", 'n') + "\n";
    test::SetValue(HKEY_CURRENT_USER, "Software\\Wine", "Version", std::string("win81\0", 6));
    std::string items = Inventory();
    EXPECT_EQ(items.substr(0, expected.size()), expected);
    // RAM in whole mebibytes (the kernel keeps some back), then the display the session saw.
    const unsigned long long linuxMiB = std::stoull(Proc("meminfo", "MemTotal:", 'v')) / 1024;
    items.erase(0, expected.size());
    const unsigned long long ram = std::stoull(items.substr(4));
    // qemu gives a 32-bit process the total modulo 4 GiB.
    const unsigned long long expectedMiB =
        sizeof(void*) == 4 && brand.rfind("QEMU", 0) == 0 ? linuxMiB % 4096 : linuxMiB;
    EXPECT_TRUE(items.rfind("RAM=", 0) == 0 && ram <= expectedMiB && ram + 1 >= expectedMiB) << items;
    items.erase(0, items.find('\n') + 1);
    EXPECT_EQ(items.rfind("Display Adapter=", 0), 0u) << items;
    items.erase(0, items.find('\n') + 1);
    EXPECT_EQ(items, "Display Width=" + screen.substr(0, screen.find('x')) + "\nDisplay Height=" +
                         screen.substr(screen.find('x') + 1) + "\nDisplay Count=1\n");
    // Every query that can fail failing: only what needs none of them.
    EXPECT_EQ(Inventory(" failing"), "Version=11.3\nLocale=" + locale + "\nCPU=" + brand + "\n");

    // The name follows the Windows version wine reports.
    const char* const rows[][2] = {
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
        test::SetValue(HKEY_CURRENT_USER, "Software\\Wine", "Version", row[0] + std::string(1, '\0'));
        EXPECT_NE(Inventory().find("\nOS=" + std::string(row[1]) + "\nArchitecture=64-bit\n"), std::string::npos) << row[0];
    }
    test::DeleteValue(HKEY_CURRENT_USER, "Software\\Wine", "Version");

    // Nothing is written into a missing folder.
    test::RemoveTree("C:\\brmtest\\missing");
    test::RunProcess("\"" + test::ExecutableFolder() + "ActivityRecorder.exe\" inventory C:\\brmtest\\missing\\i.inf", 60000);
    EXPECT_FALSE(test::FileExists("C:\\brmtest\\missing"));
}
