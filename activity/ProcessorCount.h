#pragma once

#include <cstddef>
#include <cstdint>

// The platform's processor relationship record, laid out for a processor mask of either word
// size: 24 bytes with a 32-bit mask (the 32-bit product), 32 with a 64-bit one.
template <typename Mask>
struct ProcessorRecordOf {
    Mask processorMask;
    uint32_t relationship;
    uint64_t relationData[2];
};
// This process's own layout; the platform side checks it against the platform's record.
using ProcessorRecord = ProcessorRecordOf<uintptr_t>;

constexpr uint32_t kRelationProcessorCore = 0;
constexpr uint32_t kRelationProcessorPackage = 3;

struct ProcessorCounts {
    uint32_t packages = 0;
    uint32_t cores = 0;
    uint32_t logical = 0;
};

// Number of bits set over the 32 bit positions of the mask.
uint32_t CountMaskBits(uint32_t mask);

// Counts packages, cores and logical processors over the whole records that
// fit within byteLength; caches, NUMA nodes and unknown relations add nothing.
// Defined for 32-bit and 64-bit masks.
template <typename Mask>
ProcessorCounts TallyProcessorRecords(const ProcessorRecordOf<Mask>* records,
                                      std::size_t byteLength);
