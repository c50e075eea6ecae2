#include "activity/CpuBrand.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A processor no machine here has: its highest extended leaf and its brand text.
uint32_t g_highest = 0;
const char g_brand[49] = "  Stand-in Processor 9000 @ 3.00GHz             ";

void StandIn(uint32_t leaf, uint32_t (&registers)[4])
{
    std::memset(registers, 0, sizeof registers);
    if (leaf == kCpuidHighestExtendedLeaf) {
        registers[0] = g_highest;
    } else if (leaf >= 0x80000002u && leaf <= g_highest && leaf <= kCpuidLastBrandLeaf) {
        std::memcpy(registers, g_brand + 16 * (leaf - 0x80000002u), sizeof registers);
    }
}

} // namespace

// The brand, without leading blanks, is read where the last brand leaf is, even as the highest.
TEST(CpuBrand, ReadWhereTheLastBrandLeafIsThere)
{
    const char* const unpadded = g_brand + 2;
    const std::pair<uint32_t, const char*> rows[] = {
        {0x80000008u, unpadded}, {0x80000004u, unpadded}, {0x80000003u, ""}, {0u, ""}};
    for (const auto& [highest, brand] : rows) {
        g_highest = highest;
        char read[kCpuBrandSize];
        std::memset(read, 'x', sizeof read);
        EXPECT_EQ(ReadCpuBrand(read, StandIn), *brand != '\0') << std::hex << highest;
        EXPECT_STREQ(read, brand) << std::hex << highest;
    }
}
