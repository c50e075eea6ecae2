#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The fuzzer's bytes as a terminated text (cut at the first zero byte, as a
// C string read from a file or the registry would be).
inline std::string FuzzText(const uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    return text.substr(0, text.find('\0'));
}

// Aborts the run when an invariant fails, so the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition))                                                                        \
            __builtin_trap();                                                                    \
    } while (0)
