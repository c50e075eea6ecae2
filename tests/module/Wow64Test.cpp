// What only the 32-bit product shows: it runs as a WOW64 process on 64-bit Windows, and each
// export removes its own arguments, as a host built by another compiler checks it.
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Wow64, EveryExportCleansItsStackAndTheRunSaysSixtyFourBitWindows)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64) && wow64) << "not a WOW64 process";
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    EXPECT_EQ(system.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);

    const std::string logFolder = "C:\\ProgramData\\BRAMOK\\11.3";
    test::FreshFolder(logFolder);
    {
        test::Deployment deployment("wow64");
        deployment.AddLanguage("uk");
        EXPECT_EQ(deployment.Run("stack"),
                  "stack 10:0 1:0 7:0 9:0 11:0 2:0 (version 5 2015, startup 1, updates 2)\n");
    }
    const std::vector<std::string> logs = test::ListFiles(logFolder);
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(test::ProfileString(logFolder + "\\" + logs[0], "System", "Architecture"), "64-bit");
    test::RemoveTree("C:\\ProgramData\\BRAMOK");
    test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
}
