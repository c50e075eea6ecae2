#include "activity/ProcessorCount.h"

#include <gtest/gtest.h>

TEST(ProcessorCount, PackagesCoresAndThreadsFromWholeRecordsOnly)
{
    // A package, a NUMA node (1), a core with two threads, a cache (2) of the same mask.
    const ProcessorRecord records[] = {{0x3, kRelationProcessorPackage, {}}, {0x3, 1, {}},
                                       {0x3, kRelationProcessorCore, {}}, {0x3, 2, {}}};
    ProcessorCounts counts = TallyProcessorRecords(records, sizeof records);
    EXPECT_EQ(counts.packages * 100 + counts.cores * 10 + counts.logical, 112u);
    // The core cut short by one byte is not read.
    counts = TallyProcessorRecords(records, 3 * sizeof records[0] - 1);
    EXPECT_EQ(counts.packages * 100 + counts.cores * 10 + counts.logical, 100u);
}
