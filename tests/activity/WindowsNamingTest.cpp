#include "activity/WindowsNaming.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NamingRow {
    uint32_t major;
    uint32_t minor;
    uint8_t productType;
    uint16_t suiteMask;
    bool serverR2;
    uint16_t architecture;
    const char* servicePack;
    const char* expected;
};

constexpr uint8_t kWorkstation = 1;
constexpr uint8_t kDomainController = 2;
constexpr uint8_t kServer = 3;
constexpr uint16_t kIntel = 0;

std::string Describe(const NamingRow& row)
{
    return std::to_string(row.major) + "." + std::to_string(row.minor) + " type " +
           std::to_string(row.productType) + " suite " + std::to_string(row.suiteMask) +
           (row.serverR2 ? " R2" : "") + " arch " + std::to_string(row.architecture);
}

} // namespace

TEST(NameWindows, EveryRowOfTheNamingTable)
{
    const NamingRow rows[] = {
        {6, 0, kWorkstation, 0, false, kIntel, "", "Microsoft Windows Vista"},
        {6, 0, kServer, 0, false, kIntel, "", "Microsoft Windows Server 2008"},
        {6, 1, kWorkstation, 0, false, kIntel, "", "Microsoft Windows 7"},
        {6, 1, kServer, 0, false, kIntel, "", "Microsoft Windows Server 2008 R2"},
        {6, 1, kDomainController, 0, false, kIntel, "", "Microsoft Windows Server 2008 R2"},
        {6, 2, kWorkstation, 0, false, kIntel, "", "Microsoft Windows 8"},
        {6, 2, kServer, 0, false, kIntel, "", "Microsoft Windows Server 2012"},
        {6, 3, kWorkstation, 0, false, kIntel, "", "Microsoft Windows 8.1"},
        {6, 3, kServer, 0, false, kIntel, "", "Microsoft Windows Server 2012 R2"},
        // 5.2: R2 first, then storage, home server, XP x64, the rest.
        {5, 2, kServer, kSuiteStorageServer, true, kIntel, "", "Microsoft Windows Server 2003 R2"},
        {5, 2, kServer, kSuiteStorageServer, false, kIntel, "",
         "Microsoft Windows Storage Server 2003"},
        {5, 2, kServer, kSuiteStorageServer | kSuiteHomeServer, false, kIntel, "",
         "Microsoft Windows Storage Server 2003"},
        {5, 2, kServer, kSuiteHomeServer, false, kIntel, "", "Microsoft Windows Home Server"},
        {5, 2, kWorkstation, 0, false, kArchitectureAmd64, "",
         "Microsoft Windows XP Professional x64 Edition"},
        {5, 2, kWorkstation, 0, false, kIntel, "", "Microsoft Windows Server 2003, "},
        {5, 2, kServer, 0, false, kArchitectureAmd64, "", "Microsoft Windows Server 2003, "},
        {5, 2, kServer, 0, false, kIntel, "Service Pack 2",
         "Microsoft Windows Server 2003,  Service Pack 2"},
        {5, 1, kWorkstation, kSuitePersonal, false, kIntel, "", "Microsoft Windows XP Home Edition"},
        {5, 1, kWorkstation, 0, false, kIntel, "Service Pack 3",
         "Microsoft Windows XP Professional Service Pack 3"},
        {5, 0, kWorkstation, kSuiteDatacenter, false, kIntel, "",
         "Microsoft Windows 2000 Professional"},
        {5, 0, kServer, kSuiteDatacenter | kSuiteEnterprise, false, kIntel, "",
         "Microsoft Windows 2000 Datacenter Server"},
        {5, 0, kServer, kSuiteEnterprise, false, kIntel, "", "Microsoft Windows 2000 Advanced Server"},
        {5, 0, kServer, 0, false, kIntel, "", "Microsoft Windows 2000 Server"},
        // Versions the table does not name keep just the prefix.
        {5, 3, kWorkstation, 0, false, kIntel, "", "Microsoft "},
        {6, 4, kWorkstation, 0, false, kIntel, "", "Microsoft "},
        {10, 0, kWorkstation, 0, false, kIntel, "", "Microsoft "},
        {10, 0, kServer, 0, false, kIntel, "Service Pack 1", "Microsoft  Service Pack 1"},
    };
    for (const NamingRow& row : rows) {
        WindowsFacts facts;
        facts.majorVersion = row.major;
        facts.minorVersion = row.minor;
        facts.platformId = kPlatformWin32Nt;
        facts.productType = row.productType;
        facts.suiteMask = row.suiteMask;
        facts.serverR2 = row.serverR2;
        facts.processorArchitecture = row.architecture;
        facts.servicePack = row.servicePack;
        char name[kWindowsTextSize];
        char width[kWindowsTextSize];
        NameWindows(facts, name, width);
        EXPECT_STREQ(name, row.expected) << Describe(row);
        EXPECT_STREQ(width, "32-bit") << Describe(row);
    }
}

TEST(NameWindows, ServicePackAndWordWidth)
{
    WindowsFacts facts;
    facts.majorVersion = 6;
    facts.minorVersion = 1;
    facts.platformId = kPlatformWin32Nt;
    facts.productType = kWorkstation;
    facts.servicePack = "Service Pack 1";
    facts.sixtyFourBit = true;
    char name[kWindowsTextSize];
    char width[kWindowsTextSize];
    NameWindows(facts, name, width);
    EXPECT_STREQ(name, "Microsoft Windows 7 Service Pack 1");
    EXPECT_STREQ(width, "64-bit");

    facts.servicePack = nullptr;
    NameWindows(facts, name, width);
    EXPECT_STREQ(name, "Microsoft Windows 7");

    // A service-pack text longer than the room left is cut, never overrun.
    const std::string huge(600, 'S');
    facts.servicePack = huge.c_str();
    NameWindows(facts, name, width);
    EXPECT_EQ(std::string(name).size(), kWindowsTextSize - 1);
    EXPECT_EQ(std::string(name).rfind("Microsoft Windows 7 SSS", 0), 0u);
}

TEST(NameWindows, OldAndNonNtPlatformsGetTheNumberForm)
{
    const struct {
        uint32_t platform;
        uint32_t major;
        uint32_t minor;
        const char* expected;
    } rows[] = {
        {kPlatformWin32Nt, 4, 0, "Microsoft Windows 4.0"},
        {kPlatformWin32Nt, 3, 51, "Microsoft Windows 3.51"},
        {1, 4, 90, "Microsoft Windows 4.90"},     // the 9x platform
        {1, 6, 1, "Microsoft Windows 6.1"},
        {0, 4294967295u, 4294967295u, "Microsoft Windows 4294967295.4294967295"},
    };
    for (const auto& row : rows) {
        WindowsFacts facts;
        facts.platformId = row.platform;
        facts.majorVersion = row.major;
        facts.minorVersion = row.minor;
        facts.servicePack = "Service Pack 6";   // not part of this form
        facts.sixtyFourBit = true;
        char name[kWindowsTextSize];
        char width[kWindowsTextSize];
        NameWindows(facts, name, width);
        EXPECT_STREQ(name, row.expected) << row.platform << " " << row.major << "." << row.minor;
        EXPECT_STREQ(width, "") << row.major << "." << row.minor;
    }
}
