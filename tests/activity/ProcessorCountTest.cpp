#include "activity/ProcessorCount.h"

#include <gtest/gtest.h>

TEST(ProcessorCount, ThreadsOfACoreAndWholeRecordsOnly)
{
    // A core with two threads, then a package cut short by one byte, which is not read.
    const ProcessorRecord records[] = {{0x3, kRelationProcessorCore, {}},
                                       {0x1, kRelationProcessorPackage, {}}};
    const ProcessorCounts counts = TallyProcessorRecords(records, sizeof records - 1);
    EXPECT_EQ(counts.packages * 100 + counts.cores * 10 + counts.logical, 12u);
}
