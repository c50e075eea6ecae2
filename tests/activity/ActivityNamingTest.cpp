#include "activity/ActivityNaming.h"

#include <gtest/gtest.h>

TEST(ActivityNaming, HashTakesEveryByteButTheLastAsUnsigned)
{
    // Computed independently with 32-bit FNV-1a.
    EXPECT_EQ(HashComputerName("P"), 2166136261u);
    EXPECT_EQ(HashComputerName("PC"), 3574337935u);
    EXPECT_EQ(HashComputerName("\xE9Z"), 1812687940u);
}
