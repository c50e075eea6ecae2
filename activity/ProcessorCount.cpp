#include "activity/ProcessorCount.h"

uint32_t CountMaskBits(uint32_t mask)
{
    uint32_t bits = 0;
    for (; mask != 0; mask &= mask - 1)
        ++bits;
    return bits;
}

template <typename Mask>
ProcessorCounts TallyProcessorRecords(const ProcessorRecordOf<Mask>* records,
                                      std::size_t byteLength)
{
    ProcessorCounts counts;
    if (records == nullptr)
        return counts;
    const std::size_t whole = byteLength / sizeof(ProcessorRecordOf<Mask>);
    for (std::size_t i = 0; i < whole; ++i) {
        const ProcessorRecordOf<Mask>& record = records[i];
        if (record.relationship == kRelationProcessorCore) {
            ++counts.cores;
            counts.logical += CountMaskBits(static_cast<uint32_t>(record.processorMask));
        } else if (record.relationship == kRelationProcessorPackage) {
            ++counts.packages;
        }
    }
    return counts;
}

template ProcessorCounts TallyProcessorRecords(const ProcessorRecordOf<uint32_t>*, std::size_t);
template ProcessorCounts TallyProcessorRecords(const ProcessorRecordOf<uint64_t>*, std::size_t);
