// Stripping leaves a suffix of the text that starts with no space or tab.
#include "activity/TextBlanks.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text = FuzzText(data, size);
    std::string stripped = text;
    StripLeadingBlanks(&stripped[0]);
    stripped.resize(std::char_traits<char>::length(stripped.c_str()));
    FUZZ_CHECK(text.size() >= stripped.size());
    FUZZ_CHECK(text.compare(text.size() - stripped.size(), stripped.size(), stripped) == 0);
    FUZZ_CHECK(stripped.empty() || (stripped[0] != ' ' && stripped[0] != '\t'));
    FUZZ_CHECK(!stripped.empty() || text.find_first_not_of(" \t") == std::string::npos);
    return 0;
}
