#include "activity/ActivityNaming.h"
#include "activity/ProcessorCount.h"

#include <gtest/gtest.h>

// Two packages of a core of two threads each (one at the mask's top); a NUMA node (1), a cache (2)
// and a record cut short count nothing. The export shows this machine's, maybe a thread a core.
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

// The month has two digits all year (the tests' own month may have two anyway).
TEST(ActivityNaming, MonthOfTwoDigits)
{
    char name[24];
    EXPECT_TRUE(FormatLogFileName(name, sizeof name, "L\\", 7, 42, 2015, 5));
    EXPECT_STREQ(name, "L\\742_201505.inf");
}
