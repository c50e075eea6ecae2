#include "activity/ActivityNaming.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cpuid.h>

#include <clocale>
#include <set>

namespace {

// What follows the colon on each line of a /proc file (seen through drive Z:) starting with key.
std::vector<std::string> Proc(const char* file, const std::string& key)
{
    std::istringstream text(test::ReadFileText(std::string("Z:\\proc\\") + file));
    std::vector<std::string> values;
    for (std::string line; std::getline(text, line);) {
        if (line.rfind(key, 0) == 0)
            values.push_back(line.substr(line.find(':') + 1));
    }
    return values;
}

} // namespace

// A new log's inventory, with queries answering as the words say; the host's locale kept.
TEST(SystemInventory, MatchesWhatTheMachineReportsElsewhereAndLeavesOutWhatFails)
{
    const auto inventory = [](const std::string& words) {
        test::CleanMachine();
        EXPECT_EQ(test::RunHost(words + " locale startup 1 nowindow locale"),
                  "locale C\nstartup 1\nlocale C\n");
        const std::string log = test::ReadFileText(test::OnlyLog());
        EXPECT_EQ(log.substr(log.find("[1-1-9]")), "[1-1-9]\r\n1=1\r\n");
        return log.substr(0, log.find("[1-1-9]"));
    };
    // The brand text this process's CPUID gives: under an emulator it is the emulator's.
    unsigned int cpu[13] = {};
    for (unsigned int i = 0; i < 3; ++i) {
        unsigned int* part = cpu + 4 * i;
        __get_cpuid(0x80000002u + i, part, part + 1, part + 2, part + 3);   // none where none
    }
    std::string brand = reinterpret_cast<const char*>(cpu);
    brand.erase(0, brand.find_first_not_of(" \t"));
    // Wine's profile code drops trailing blanks on saving the file again.
    brand.erase(brand.find_last_not_of(" \t") + 1);
    const std::string locale = std::setlocale(LC_ALL, "");
    std::setlocale(LC_ALL, "C");

    const std::string start = "[System]\r\nVersion=11.3\r\n";
    // A 32-bit process sees an x86 processor, so XP x64 falls to the last 5.2 name.
    const std::string os = sizeof(void*) == 8 ? "XP Professional x64 Edition" : "Server 2003, ";
    const std::vector<std::string> packages = Proc("cpuinfo", "physical id");
    const std::size_t physical = std::set<std::string>(packages.begin(), packages.end()).size();
    const std::size_t cores = physical * std::stoul(Proc("cpuinfo", "cpu cores").at(0));
    const std::string head =
        start + "OS=Microsoft Windows " + os +
        " Service Pack 2\r\nArchitecture=64-bit\r\nLocale=" + locale + "\r\nCPU=" + brand +
        "\r\nPhysical CPUs=" + std::to_string(physical) + "\r\nCPU Cores=" + std::to_string(cores) +
        "\r\nLogical CPUs=" + std::to_string(Proc("cpuinfo", "processor").size()) + "\r\nRAM=";
    test::SetValue(HKEY_CURRENT_USER, "Software\\Wine", "Version", std::string("winxp64\0", 8));
    std::string items = inventory("");
    ASSERT_EQ(items.substr(0, head.size()), head);
    // RAM in mebibytes (qemu gives a 32-bit process the total modulo 4 GiB).
    items.erase(0, head.size());
    unsigned long long linuxMiB = std::stoull(Proc("meminfo", "MemTotal:").at(0)) / 1024;
    if (sizeof(void*) == 4 && brand.rfind("QEMU", 0) == 0)
        linuxMiB %= 4096;
    EXPECT_LE(linuxMiB - std::stoull(items), 1u) << items;
    EXPECT_EQ(items.substr(items.find("\r\nDisplay Width=")),
              "\r\nDisplay Width=" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) +
                  "\r\nDisplay Height=" + std::to_string(GetSystemMetrics(SM_CYSCREEN)) +
                  "\r\nDisplay Count=1\r\n");
    // Leading blanks cut from the adapter; only attached displays count; a locale with no ANSI code
    // page takes the process's (here, as in all wine's locales, 1252).
    items = inventory("unusual");
    EXPECT_NE(items.find("\r\nDisplay Adapter=ab\r\n"), std::string::npos) << items;
    EXPECT_NE(items.find("\r\nDisplay Count=2\r\n"), std::string::npos) << items;
    EXPECT_NE(items.find("\r\nLocale=" + locale + "\r\n"), std::string::npos) << items;
    EXPECT_EQ(locale.substr(locale.find('.') + 1), std::to_string(GetACP()));
    // A computer name of the full 15 letters names the log.
    const std::string hash = std::to_string(HashComputerName("FIFTEEN-LETTERS"));
    EXPECT_NE(test::OnlyLog().find(hash + "_"), std::string::npos) << test::OnlyLog();
    // Every query that can fail failing: only what needs none of them, and the fallback locale.
    EXPECT_EQ(inventory("failing"), start + "Locale=C\r\nCPU=" + brand + "\r\n");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Wine", "Version");
}
