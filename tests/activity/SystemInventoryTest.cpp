#include "activity/SystemInventory.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cpuid.h>

#include <clocale>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kPath = "C:\\inventory.inf";

// The file a test host process writes.
std::string Inventory(const char* mode = "all")
{
    DeleteFileA(kPath.c_str());
    test::RunProcess("\"" + test::ExecutableFolder() + "TestHost.exe\" inventory " + mode + " " + kPath, 60000);
    return test::ReadFileText(kPath);
}

// What follows the colon on each line of a /proc file (seen through drive Z:) starting with key.
std::vector<std::string> Proc(const char* file, const std::string& key)
{
    std::istringstream text(test::ReadFileText(std::string("Z:\\proc\\") + file));
    std::vector<std::string> values;
    for (std::string line; std::getline(text, line);)
        if (line.rfind(key, 0) == 0) values.push_back(line.substr(line.find(':') + 1));
    return values;
}

} // namespace

TEST(SystemInventory, MatchesWhatTheMachineReportsElsewhereAndLeavesOutWhatFails)
{
    // The brand text this process's CPUID gives: under an emulator it is the emulator's.
    unsigned int cpu[13] = {};
    for (unsigned int i = 0, *r = cpu; i < 3; ++i, r += 4)
        __get_cpuid(0x80000002u + i, r, r + 1, r + 2, r + 3);   // nothing where there is none
    std::string brand = reinterpret_cast<const char*>(cpu);
    brand.erase(0, brand.find_first_not_of(" \t"));
    // Wine's profile code drops trailing blanks when a later value makes it save the file again.
    const std::string trimmed = brand.substr(0, brand.find_last_not_of(" \t") + 1);
    const std::string before = std::setlocale(LC_ALL, nullptr);
    WriteSystemInventory(kPath.c_str());   // leaves the process locale alone
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
    const std::string locale = std::setlocale(LC_ALL, "");
    std::setlocale(LC_ALL, "C");

    const std::string start = "[System]\r\nVersion=11.3\r\n";
    // The service pack and processor wine reports: a 32-bit process sees an x86 processor, so
    // XP x64 falls to the last 5.2 name.
    const std::string os = sizeof(void*) == 8 ? "XP Professional x64 Edition" : "Server 2003, ";
    const std::string head = start + "OS=Microsoft Windows " + os +
                             " Service Pack 2\r\nArchitecture=64-bit\r\nLocale=" + locale +
                             "\r\nCPU=" + trimmed + "\r\n";
    const std::vector<std::string> packages = Proc("cpuinfo", "physical id");
    const std::size_t physical = std::set<std::string>(packages.begin(), packages.end()).size();
    const std::string counts = "Physical CPUs=" + std::to_string(physical) + "\r\nCPU Cores=" +
        std::to_string(physical * std::stoul(Proc("cpuinfo", "cpu cores").at(0))) +
        "\r\nLogical CPUs=" + std::to_string(Proc("cpuinfo", "processor").size()) + "\r\nRAM=";
    test::SetValue(HKEY_CURRENT_USER, "Software\\Wine", "Version", std::string("winxp64\0", 8));
    std::string items = Inventory();
    ASSERT_EQ(items.substr(0, head.size() + counts.size()), head + counts);
    // RAM in whole mebibytes (the kernel keeps some back); qemu gives a 32-bit process the
    // total modulo 4 GiB.
    items.erase(0, head.size() + counts.size());
    unsigned long long linuxMiB = std::stoull(Proc("meminfo", "MemTotal:").at(0)) / 1024;
    if (sizeof(void*) == 4 && brand.rfind("QEMU", 0) == 0) linuxMiB %= 4096;
    EXPECT_LE(linuxMiB - std::stoull(items), 1u) << items;
    // Then the display this process sees (its adapter's name: below).
    EXPECT_EQ(items.substr(items.find("\r\nDisplay Width=")),
              "\r\nDisplay Width=" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) +
                  "\r\nDisplay Height=" + std::to_string(GetSystemMetrics(SM_CYSCREEN)) +
                  "\r\nDisplay Count=1\r\n");
    // An adapter named with leading blanks is written without them, and nothing after; only
    // displays attached to the desktop count; a locale without an ANSI code page is named with
    // the process's own (wine's locales all have one: 1252 here, the same as the process's).
    items = Inventory("unusual");
    EXPECT_NE(items.find("\r\nDisplay Adapter=ab\r\n"), std::string::npos) << items;
    EXPECT_NE(items.find("\r\nDisplay Count=2\r\n"), std::string::npos) << items;
    EXPECT_NE(items.find("\r\nLocale=" + locale + "\r\n"), std::string::npos) << items;
    EXPECT_EQ(locale.substr(locale.find('.') + 1), std::to_string(GetACP()));
    // Every query that can fail failing: only what needs none of them, and the fallback locale.
    EXPECT_EQ(Inventory("failing"), start + "Locale=C\r\nCPU=" + brand + "\r\n");
    test::DeleteValue(HKEY_CURRENT_USER, "Software\\Wine", "Version");
}
