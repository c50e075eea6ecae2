#include "activity/CpuBrand.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Packs 48 bytes of text into the twelve register values, little-endian.
void Pack(const char (&text)[49], uint32_t (&registers)[12])
{
    for (int i = 0; i < 12; ++i) {
        uint32_t value = 0;
        for (int byte = 3; byte >= 0; --byte)
            value = (value << 8) | static_cast<unsigned char>(text[i * 4 + byte]);
        registers[i] = value;
    }
}

} // namespace

TEST(AssembleCpuBrand, LeafOrderAndLittleEndianBytes)
{
    const char text[49] = "       Intel(R) Xeon(R) CPU E5-2680 v4 @ 2.40GHz";
    uint32_t registers[12];
    Pack(text, registers);
    char brand[kCpuBrandSize];
    std::memset(brand, 'x', sizeof brand);
    AssembleCpuBrand(registers, brand);
    EXPECT_EQ(std::string(brand), std::string(text, 48));
    // A brand filling all 48 bytes still ends in a NUL.
    for (std::size_t i = 48; i < kCpuBrandSize; ++i)
        EXPECT_EQ(brand[i], '\0') << i;
    EXPECT_EQ(registers[0], 0x20202020u);
}
