// "UpdateMode", "BramokUpload" and the edition section from a language code.
#include "fuzz/FuzzInput.h"
#include "updates/SettingsValues.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::wstring wide;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        wide.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    wide.resize(std::min(wide.size(), wide.find(L'\0')));
    const int mode = ParseUpdateMode(wide.c_str(), 7);
    FUZZ_CHECK(!wide.empty() || mode == 7);
    FUZZ_CHECK(ParseProductUpload(wide.c_str(), true) || wide.size() == 5);
    FUZZ_CHECK(!ParseProductUpload(wide.c_str(), false));

    const std::string code = FuzzText(data, size);
    const char* section = EditionSectionFor(code.c_str());
    FUZZ_CHECK(section != nullptr && std::strncmp(section, "BRAMOK 11.3 (", 13) == 0);
    return 0;
}
