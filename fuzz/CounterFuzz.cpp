// Counter texts: never a wrap, and what is written reads back the same.
#include "activity/ActivityNaming.h"
#include "fuzz/FuzzInput.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text = FuzzText(data, size);
    const uint32_t count = ParseCounter(text.c_str());
    FUZZ_CHECK(NextCount(count) >= count);
    char written[kCounterTextSize];
    FormatUnsigned(written, count);
    FUZZ_CHECK(ParseCounter(written) == count);
    FormatCounterSection(written, count);
    FUZZ_CHECK(std::strlen(written) < kCounterTextSize);
    FUZZ_CHECK(std::strcmp(written + std::strlen(written) - 4, "-1-9") == 0);
    return 0;
}
