#include "activity/ActivityNaming.h"
#include "activity/ProcessorCount.h"

#include <gtest/gtest.h>

// Two packages of a core each, with two threads (the second core's at the top of the mask); a
// NUMA node (1) and a cache (2) count nothing; a last core cut short by one byte is not read.
template <typename Mask> uint32_t Tally()
{
    const ProcessorRecordOf<Mask> records[] = {{0x3, 0, {}},        {0x1, 3, {}}, {0xF, 1, {}},
                                               {0xC0000000, 0, {}}, {0xF, 2, {}}, {0x1, 3, {}},
                                               {0x1, 0, {}}};
    const ProcessorCounts counts = TallyProcessorRecords(records, sizeof records - 1);
    return counts.packages * 100 + counts.cores * 10 + counts.logical;
}

TEST(ProcessorCount, ThreadsOfACoreAndWholeRecordsOnlyAtEitherWordSize)
{
    EXPECT_EQ(Tally<uint32_t>(), 224u) << "24-byte records, as the 32-bit product gets them";
    EXPECT_EQ(Tally<uint64_t>(), 224u) << "32-byte records";
}

// The month has two digits all year (the tests' own month may have two anyway); a name that
// does not fit is refused, never cut short.
TEST(ActivityNaming, MonthOfTwoDigitsAndNoNameCutShort)
{
    char name[24];
    EXPECT_TRUE(FormatLogFileName(name, sizeof name, "L\\", 7, 42, 2015, 5));
    EXPECT_STREQ(name, "L\\742_201505.inf");
    EXPECT_FALSE(FormatLogFileName(name, 16, "L\\", 7, 42, 2015, 5));
    EXPECT_STREQ(name, "");
}
