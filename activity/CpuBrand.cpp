#include "activity/CpuBrand.h"
#include "activity/TextBlanks.h"

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

void AskProcessor(uint32_t leaf, uint32_t (&registers)[4])
{
    unsigned a = 0;
    unsigned b = 0;
    unsigned c = 0;
    unsigned d = 0;
    __cpuid_count(leaf, 0, a, b, c, d);
    registers[0] = a;
    registers[1] = b;
    registers[2] = c;
    registers[3] = d;
}

bool ReadCpuBrand(char (&brand)[kCpuBrandSize], CpuidQuery query)
{
    std::memset(brand, 0, sizeof brand);
    uint32_t answer[4] = {};
    query(kCpuidHighestExtendedLeaf, answer);
    if (answer[0] < kCpuidLastBrandLeaf)
        return false;

    uint32_t registers[12] = {};
    for (std::size_t leaf = 0; leaf < 3; ++leaf) {
        query(kCpuidHighestExtendedLeaf + 2 + static_cast<uint32_t>(leaf), answer);
        std::memcpy(&registers[leaf * 4], answer, sizeof answer);
    }
    AssembleCpuBrand(registers, brand);
    StripLeadingBlanks(brand);   // many processors pad the text at the front
    return true;
}
