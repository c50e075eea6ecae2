#include "activity/ActivityNaming.h"

#include <cstdio>
#include <cstring>

uint32_t HashComputerName(const char* name)
{
    uint32_t hash = kFnvOffsetBasis;
    if (name == nullptr)
        return hash;
    const std::size_t length = std::strlen(name);
    for (std::size_t i = 0; i + 1 < length; ++i) {
        hash ^= static_cast<unsigned char>(name[i]);
        hash *= kFnvPrime;
    }
    return hash;
}

uint32_t ParseCounter(const char* text)
{
    if (text == nullptr)
        return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    if (*text == '-')
        return 0;
    if (*text == '+')
        ++text;
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + static_cast<uint64_t>(*text - '0');
        if (value > UINT32_MAX)
            return UINT32_MAX;
    }
    return static_cast<uint32_t>(value);
}

uint32_t NextCount(uint32_t count)
{
    return count == UINT32_MAX ? count : count + 1;
}

bool FormatLogFileName(char* out, std::size_t size, const char* folder,
                       uint32_t volume, uint32_t hash, int year, int month)
{
    if (out == nullptr || size == 0)
        return false;
    const int written = std::snprintf(out, size, "%s%lu%lu_%04d%02d.inf",
                                      folder != nullptr ? folder : "",
                                      static_cast<unsigned long>(volume),
                                      static_cast<unsigned long>(hash), year, month);
    if (written < 0 || static_cast<std::size_t>(written) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void FormatCounterSection(char (&out)[kCounterTextSize], uint32_t code)
{
    std::snprintf(out, sizeof out, "%lu-%lu-%lu", static_cast<unsigned long>(code), 1UL, 9UL);
}

void FormatUnsigned(char (&out)[kCounterTextSize], uint32_t value)
{
    std::snprintf(out, sizeof out, "%u", static_cast<unsigned>(value));
}
