#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kCpuBrandSize = 64;
constexpr uint32_t kCpuidHighestExtendedLeaf = 0x80000000u;
constexpr uint32_t kCpuidLastBrandLeaf = 0x80000004u;

// Assembles the brand text from the outputs of the three brand leaves, in
// leaf order, each as EAX, EBX, ECX, EDX. The result always ends in a NUL.
void AssembleCpuBrand(const uint32_t (&registers)[12], char (&brand)[kCpuBrandSize]);

// Asks the processor for its brand text; false when it has none (highest
// extended leaf below 0x80000004), with brand left empty.
bool ReadCpuBrand(char (&brand)[kCpuBrandSize]);
