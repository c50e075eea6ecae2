#include "activity/CpuBrand.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(AssembleCpuBrand, LeafOrderAndLittleEndianBytes)
{
    // 48 bytes of text packed into the twelve register values, little-endian.
    const char text[49] = "       Intel(R) Xeon(R) CPU E5-2680 v4 @ 2.40GHz";
    uint32_t registers[12] = {};
    for (int i = 47; i >= 0; --i)
        registers[i / 4] = (registers[i / 4] << 8) | static_cast<unsigned char>(text[i]);
    char brand[kCpuBrandSize];
    std::memset(brand, 'x', sizeof brand);
    AssembleCpuBrand(registers, brand);
    // A brand filling all 48 bytes still ends in a NUL.
    EXPECT_EQ(std::string(brand, sizeof brand), std::string(text, 48) + std::string(16, '\0'));
}
