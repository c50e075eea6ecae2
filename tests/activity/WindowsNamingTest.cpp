#include "activity/WindowsNaming.h"

#include <gtest/gtest.h>

#include <string>

TEST(NameWindows, OneRowPerOutcomeOfTheNamingTableInBothWordWidths)
{
    constexpr uint32_t NT = kPlatformWin32Nt;
    constexpr uint8_t W = 1, DC = 2, S = 3;   // workstation, domain controller, server
    // Facts, the name after "Microsoft ", and whether the number form (no word width).
    const struct {
        WindowsFacts facts;
        const char* expected;
        bool numbered = false;
    } rows[] = {
        {{6, 1, NT, "Service Pack 1", 0, W}, "Windows 7 Service Pack 1"},
        {{6, 1, NT, "", 0, DC}, "Windows Server 2008 R2"},
        {{5, 2, NT, "", kSuiteStorageServer, S, 0, true}, "Windows Server 2003 R2"},
        {{5, 2, NT, "", kSuiteStorageServer | kSuiteHomeServer, S}, "Windows Storage Server 2003"},
        {{5, 2, NT, "", kSuiteHomeServer, S}, "Windows Home Server"},
        {{5, 2, NT, "", 0, W}, "Windows Server 2003, "},   // XP x64 needs the x64 processor
        {{5, 1, NT, "", kSuitePersonal, W}, "Windows XP Home Edition"},
        {{5, 1, NT, "", 0, W}, "Windows XP Professional"},
        {{5, 0, NT, "", kSuiteDatacenter, W}, "Windows 2000 Professional"},
        {{5, 0, NT, "", kSuiteDatacenter | kSuiteEnterprise, S}, "Windows 2000 Datacenter Server"},
        {{5, 0, NT, "", kSuiteEnterprise, S}, "Windows 2000 Advanced Server"},
        {{5, 0, NT, "", 0, S}, "Windows 2000 Server"},
        {{5, 3, NT, "Service Pack 1", 0, W}, " Service Pack 1"},   // unnamed: just the prefix
        // Old and non-NT platforms (1 is 9x): the number form, without the service pack.
        {{4, 0, NT, "Service Pack 6", 0, W}, "Windows 4.0", true},
        {{6, 1, 1, ""}, "Windows 6.1", true},
    };
    char name[kWindowsTextSize], width[kWindowsTextSize];
    for (auto [facts, expected, numbered] : rows)
        for (bool sixtyFour : {false, true}) {
            facts.sixtyFourBit = sixtyFour;
            NameWindows(facts, name, width);
            EXPECT_EQ(name, "Microsoft " + std::string(expected)) << expected;
            EXPECT_STREQ(width, numbered ? "" : sixtyFour ? "64-bit" : "32-bit") << expected;
        }
}
