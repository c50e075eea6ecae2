#include "activity/ActivityNaming.h"

#include <gtest/gtest.h>

// The month has two digits all year (the tests' own month may have two anyway).
TEST(ActivityNaming, MonthOfTwoDigits)
{
    char name[24];
    EXPECT_TRUE(FormatLogFileName(name, sizeof name, "L\\", 7, 42, 2015, 5));
    EXPECT_STREQ(name, "L\\742_201505.inf");
}
