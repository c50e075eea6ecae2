#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kFnvOffsetBasis = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;

// 32-bit FNV-1a over every byte of the name but the last, as the log file
// names on existing machines were made. Null or empty names give the offset
// basis, like a one-character name.
uint32_t HashComputerName(const char* name);

// The count a stored counter text stands for: optional leading white space
// and '+', then decimal digits up to the first other character. No digits,
// or a minus sign, give 0; numbers beyond 4294967295 give 4294967295.
uint32_t ParseCounter(const char* text);

// One more run, held at 4294967295 instead of wrapping to 0.
uint32_t NextCount(uint32_t count);

// "<folder><volume><hash>_<yyyy><mm>.inf". False, with out empty, when the
// name does not fit in size characters including the terminator.
bool FormatLogFileName(char* out, std::size_t size, const char* folder,
                       uint32_t volume, uint32_t hash, int year, int month);

constexpr std::size_t kCounterTextSize = 40;

// "<code>-1-9": the counter section of one code.
void FormatCounterSection(char (&out)[kCounterTextSize], uint32_t code);

// Unsigned decimal, for a category key or a count.
void FormatUnsigned(char (&out)[kCounterTextSize], uint32_t value);
