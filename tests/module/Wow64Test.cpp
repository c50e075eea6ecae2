// What only the 32-bit product shows: it runs as a WOW64 process on 64-bit Windows, and each
// export removes its own arguments, as a host built by another compiler checks it.
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(Wow64, EveryExportCleansItsStack)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64) && wow64) << "not a WOW64 process";
    test::Deployment deployment("wow64");
    deployment.AddLanguage("uk");
    EXPECT_EQ(deployment.Run("stack"),
              "stack 10:0 1:0 7:0 9:0 11:0 2:0 (version 5 2015, startup 1, updates 2)\n");
    test::CleanMachine();
}
