#include "activity/ProcessorCount.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ProcessorCount, MaskBitsAndWholeRecordsOnly)
{
    const uint32_t masks[][2] = {{0, 0}, {1, 1}, {0x3, 2}, {0x80000000u, 1}, {0xFFFFFFFFu, 32},
                                 {0xAAAAAAAAu, 16}};
    for (const auto& row : masks)
        EXPECT_EQ(CountMaskBits(row[0]), row[1]) << std::hex << row[0];

    // Two packages of four cores with two threads each, among NUMA nodes (1), caches (2) and
    // a relation newer than we know (7).
    std::vector<ProcessorRecord> records;
    const auto add = [&](uint32_t relationship, uintptr_t mask) {
        records.push_back(ProcessorRecord{mask, relationship, {}});
    };
    for (int package = 0; package < 2; ++package) {
        add(kRelationProcessorPackage, 0xFF);
        add(1, 0xFF);
        for (int core = 0; core < 4; ++core) {
            add(kRelationProcessorCore, uintptr_t{0x3} << (2 * core));
            add(2, uintptr_t{0x3} << (2 * core));
        }
        add(7, 0xFF);
    }
    ProcessorCounts counts = TallyProcessorRecords(records.data(), records.size() * sizeof records[0]);
    EXPECT_EQ(counts.packages, 2u);
    EXPECT_EQ(counts.cores, 8u);
    EXPECT_EQ(counts.logical, 16u);

    // Package, node, core: with the core cut short by one byte it is not read.
    EXPECT_EQ(TallyProcessorRecords(records.data(), 3 * sizeof records[0]).logical, 2u);
    counts = TallyProcessorRecords(records.data(), 3 * sizeof records[0] - 1);
    EXPECT_EQ(counts.packages, 1u);
    EXPECT_EQ(counts.cores + counts.logical, 0u);
    counts = TallyProcessorRecords(records.data(), 0);
    EXPECT_EQ(counts.packages + counts.cores, 0u);
    counts = TallyProcessorRecords(nullptr, 1000);
    EXPECT_EQ(counts.cores + counts.packages + counts.logical, 0u);
}
