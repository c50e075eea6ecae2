#include "activity/ProcessorCount.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kRelationNumaNode = 1;
constexpr uint32_t kRelationCache = 2;

ProcessorRecord Record(uint32_t relationship, uintptr_t mask)
{
    ProcessorRecord record = {};
    record.relationship = relationship;
    record.processorMask = mask;
    return record;
}

} // namespace

TEST(CountMaskBits, CountsAllThirtyTwoPositions)
{
    EXPECT_EQ(CountMaskBits(0), 0u);
    EXPECT_EQ(CountMaskBits(1), 1u);
    EXPECT_EQ(CountMaskBits(0x3), 2u);
    EXPECT_EQ(CountMaskBits(0x80000000u), 1u);
    EXPECT_EQ(CountMaskBits(0xFFFFFFFFu), 32u);
    EXPECT_EQ(CountMaskBits(0xAAAAAAAAu), 16u);
}

TEST(TallyProcessorRecords, TwoPackagesOfFourCoresWithTwoThreadsEach)
{
    std::vector<ProcessorRecord> records;
    for (int package = 0; package < 2; ++package) {
        records.push_back(Record(kRelationProcessorPackage, 0xFF));
        records.push_back(Record(kRelationNumaNode, 0xFF));
        for (int core = 0; core < 4; ++core) {
            records.push_back(Record(kRelationProcessorCore, uintptr_t{0x3} << (2 * core)));
            records.push_back(Record(kRelationCache, uintptr_t{0x3} << (2 * core)));
        }
        records.push_back(Record(kRelationCache, 0xFF));
        records.push_back(Record(7, 0xFF));   // a relation newer than we know
    }
    const ProcessorCounts counts =
        TallyProcessorRecords(records.data(), records.size() * sizeof(ProcessorRecord));
    EXPECT_EQ(counts.packages, 2u);
    EXPECT_EQ(counts.cores, 8u);
    EXPECT_EQ(counts.logical, 16u);
}

TEST(TallyProcessorRecords, OnlyWholeRecordsCount)
{
    const ProcessorRecord records[] = {
        Record(kRelationProcessorCore, 0x1),
        Record(kRelationProcessorCore, 0x2),
    };
    // The second record is cut short by one byte: it is not read.
    ProcessorCounts counts = TallyProcessorRecords(records, sizeof records - 1);
    EXPECT_EQ(counts.cores, 1u);
    EXPECT_EQ(counts.logical, 1u);

    counts = TallyProcessorRecords(records, 0);
    EXPECT_EQ(counts.cores, 0u);
    counts = TallyProcessorRecords(nullptr, 1000);
    EXPECT_EQ(counts.cores + counts.packages + counts.logical, 0u);
}
