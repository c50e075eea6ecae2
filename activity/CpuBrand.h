#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kCpuBrandSize = 64;
constexpr uint32_t kCpuidHighestExtendedLeaf = 0x80000000u;
constexpr uint32_t kCpuidLastBrandLeaf = 0x80000004u;

// Assembles the brand text from the outputs of the three brand leaves, in
// leaf order, each as EAX, EBX, ECX, EDX. The result always ends in a NUL.
void AssembleCpuBrand(const uint32_t (&registers)[12], char (&brand)[kCpuBrandSize]);

// One CPUID leaf (sub-leaf 0): EAX, EBX, ECX, EDX.
using CpuidQuery = void (*)(uint32_t leaf, uint32_t (&registers)[4]);

// This processor's answer.
void AskProcessor(uint32_t leaf, uint32_t (&registers)[4]);

// Asks the processor (or, in tests, a stand-in for one no machine here has) for its brand
// text, without leading blanks; false when it has none (highest extended leaf below
// 0x80000004), with brand left empty.
bool ReadCpuBrand(char (&brand)[kCpuBrandSize], CpuidQuery query = AskProcessor);
