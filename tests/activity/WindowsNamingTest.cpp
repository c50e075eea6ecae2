#include "activity/WindowsNaming.h"

#include <gtest/gtest.h>

#include <string>

TEST(NameWindows, EveryRowOfTheNamingTableInBothWordWidthsAndTheNumberFormForTheRest)
{
    constexpr uint32_t NT = kPlatformWin32Nt;
    constexpr uint8_t W = 1, D = 2, S = 3;   // workstation, domain controller, server
    constexpr uint16_t x64 = kArchitectureAmd64, Sto = kSuiteStorageServer, Hom = kSuiteHomeServer;
    // Version, platform, service pack, suite, product type, architecture, R2 metric.
    const struct {
        WindowsFacts facts;
        const char* expected;   // after "Microsoft "
        bool numbered = false;   // the number form: no word width
    } rows[] = {
        {{6, 0, NT, "", 0, W}, "Windows Vista"},
        {{6, 0, NT, "", 0, S}, "Windows Server 2008"},
        {{6, 1, NT, "", 0, W}, "Windows 7"},
        {{6, 1, NT, nullptr, 0, W}, "Windows 7"},
        {{6, 1, NT, "Service Pack 1", 0, W}, "Windows 7 Service Pack 1"},
        {{6, 1, NT, "", 0, S}, "Windows Server 2008 R2"},
        {{6, 1, NT, "", 0, D}, "Windows Server 2008 R2"},
        {{6, 2, NT, "", 0, W}, "Windows 8"},
        {{6, 2, NT, "", 0, S}, "Windows Server 2012"},
        {{6, 3, NT, "", 0, W}, "Windows 8.1"},
        {{6, 3, NT, "", 0, S}, "Windows Server 2012 R2"},
        // 5.2: R2 first, then storage, home server, XP x64, the rest.
        {{5, 2, NT, "", Sto, S, 0, true}, "Windows Server 2003 R2"},
        {{5, 2, NT, "", Sto, S}, "Windows Storage Server 2003"},
        {{5, 2, NT, "", Sto | Hom, S}, "Windows Storage Server 2003"},
        {{5, 2, NT, "", Hom, S}, "Windows Home Server"},
        {{5, 2, NT, "", 0, W, x64}, "Windows XP Professional x64 Edition"},
        {{5, 2, NT, "", 0, W}, "Windows Server 2003, "},
        {{5, 2, NT, "", 0, S, x64}, "Windows Server 2003, "},
        {{5, 2, NT, "Service Pack 2", 0, S}, "Windows Server 2003,  Service Pack 2"},
        {{5, 1, NT, "", kSuitePersonal, W}, "Windows XP Home Edition"},
        {{5, 1, NT, "Service Pack 3", 0, W}, "Windows XP Professional Service Pack 3"},
        {{5, 0, NT, "", kSuiteDatacenter, W}, "Windows 2000 Professional"},
        {{5, 0, NT, "", kSuiteDatacenter | kSuiteEnterprise, S}, "Windows 2000 Datacenter Server"},
        {{5, 0, NT, "", kSuiteEnterprise, S}, "Windows 2000 Advanced Server"},
        {{5, 0, NT, "", 0, S}, "Windows 2000 Server"},
        // Versions the table does not name keep just the prefix.
        {{5, 3, NT, "", 0, W}, ""},
        {{6, 4, NT, "", 0, W}, ""},
        {{10, 0, NT, "", 0, W}, ""},
        {{10, 0, NT, "Service Pack 1", 0, S}, " Service Pack 1"},
        // Old and non-NT platforms (1 is 9x): the number form, without the service pack.
        {{4, 0, NT, "Service Pack 6", 0, W, 0, false, true}, "Windows 4.0", true},
        {{3, 51, NT, "Service Pack 6"}, "Windows 3.51", true},
        {{4, 90, 1, "Service Pack 6"}, "Windows 4.90", true},
        {{6, 1, 1, "", 0, W, 0, false, true}, "Windows 6.1", true},
        {{4294967295u, 4294967295u, 0}, "Windows 4294967295.4294967295", true},
    };
    char name[kWindowsTextSize];
    char width[kWindowsTextSize];
    for (const auto& row : rows)
        for (bool sixtyFour : {false, true}) {
            WindowsFacts facts = row.facts;
            facts.sixtyFourBit = sixtyFour;
            NameWindows(facts, name, width);
            EXPECT_EQ(name, "Microsoft " + std::string(row.expected))
                << facts.majorVersion << "." << facts.minorVersion << " type "
                << int{facts.productType} << " suite " << facts.suiteMask << " R2 "
                << facts.serverR2 << " arch " << facts.processorArchitecture;
            EXPECT_STREQ(width, row.numbered ? "" : sixtyFour ? "64-bit" : "32-bit") << row.expected;
        }

    // A service-pack text longer than the room left is cut, never overrun.
    const std::string huge(600, 'S');
    NameWindows({6, 1, NT, huge.c_str(), 0, W}, name, width);
    EXPECT_EQ(name, "Microsoft Windows 7 " + huge.substr(0, kWindowsTextSize - 21));
}
