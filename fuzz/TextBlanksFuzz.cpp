// Stripping removes exactly the leading spaces and tabs.
#include "activity/TextBlanks.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text = FuzzText(data, size);
    std::string stripped = text;
    StripLeadingBlanks(&stripped[0]);
    stripped.resize(std::char_traits<char>::length(stripped.c_str()));
    const std::size_t cut = text.find_first_not_of(" \t");
    FUZZ_CHECK(stripped == (cut == std::string::npos ? "" : text.substr(cut)));
    return 0;
}
