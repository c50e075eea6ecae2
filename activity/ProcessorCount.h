#pragma once

#include <cstddef>
#include <cstdint>

// Same layout as the platform's processor relationship record (24 bytes in a
// 32-bit process, 32 in a 64-bit one); the platform side checks this.
struct ProcessorRecord {
    uintptr_t processorMask;
    uint32_t relationship;
    uint64_t relationData[2];
};

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
ProcessorCounts TallyProcessorRecords(const ProcessorRecord* records, std::size_t byteLength);
