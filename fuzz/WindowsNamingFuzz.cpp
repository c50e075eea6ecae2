// Any set of version facts gives a terminated name and a known word width.
#include "activity/WindowsNaming.h"
#include "fuzz/FuzzInput.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 16)
        return 0;
    WindowsFacts facts;
    facts.majorVersion = data[0] % 12;
    facts.minorVersion = data[1] % 5;
    facts.platformId = data[2] % 4;
    facts.suiteMask = static_cast<uint16_t>(data[3] | (data[4] << 8));
    facts.productType = data[5] % 4;
    facts.processorArchitecture = data[6] % 12;
    facts.serverR2 = data[7] & 1;
    facts.sixtyFourBit = data[7] & 2;
    const std::string servicePack = FuzzText(data + 16, size - 16);
    facts.servicePack = (data[7] & 4) ? nullptr : servicePack.c_str();

    char name[kWindowsTextSize];
    char width[kWindowsTextSize];
    std::memset(name, 'x', sizeof name);
    std::memset(width, 'x', sizeof width);
    NameWindows(facts, name, width);
    FUZZ_CHECK(std::memchr(name, '\0', sizeof name) != nullptr);
    FUZZ_CHECK(std::strcmp(width, "") == 0 || std::strcmp(width, "32-bit") == 0 ||
               std::strcmp(width, "64-bit") == 0);
    return 0;
}
