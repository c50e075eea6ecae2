#include "activity/CpuBrand.h"

#include <cpuid.h>
#include <cstring>

void AssembleCpuBrand(const uint32_t (&registers)[12], char (&brand)[kCpuBrandSize])
{
    std::memset(brand, 0, sizeof brand);
    for (std::size_t i = 0; i < 12; ++i) {
        const uint32_t value = registers[i];
        for (std::size_t byte = 0; byte < 4; ++byte)
            brand[i * 4 + byte] = static_cast<char>((value >> (8 * byte)) & 0xFFu);
    }
}

bool ReadCpuBrand(char (&brand)[kCpuBrandSize])
{
    std::memset(brand, 0, sizeof brand);
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(kCpuidHighestExtendedLeaf, 0, a, b, c, d);
    if (a < kCpuidLastBrandLeaf)
        return false;

    uint32_t registers[12] = {};
    for (uint32_t leaf = 0; leaf < 3; ++leaf) {
        __cpuid_count(kCpuidHighestExtendedLeaf + 2 + leaf, 0, a, b, c, d);
        registers[leaf * 4 + 0] = a;
        registers[leaf * 4 + 1] = b;
        registers[leaf * 4 + 2] = c;
        registers[leaf * 4 + 3] = d;
    }
    AssembleCpuBrand(registers, brand);
    return true;
}
