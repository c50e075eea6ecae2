// Invariants of the Windows-free parsers and formatters; the first 5 bytes give numbers.
#include "activity/ActivityNaming.h"
#include "activity/TextBlanks.h"
#include "updates/SettingsValues.h"
#include "web/BrowserCommand.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

// Aborts the run when an invariant fails, so the fuzzer keeps the input.
#define FUZZ_CHECK(condition) ((condition) ? void() : __builtin_trap())

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data + 5), size - 5);
    const std::string text = bytes.substr(0, bytes.find('\0'));   // as a C string reads

    // The cleaned browser command is a prefix of the stored one, and clean.
    const std::string clean = CleanBrowserCommand(bytes);
    FUZZ_CHECK(bytes.compare(0, clean.size(), clean) == 0);
    FUZZ_CHECK(clean.find("%1") == std::string::npos);
    FUZZ_CHECK(clean.find("-nohome") == std::string::npos);
    FUZZ_CHECK(CleanBrowserCommand(clean) == clean);

    // A counter never wraps, and what is written reads back the same.
    const uint32_t count = ParseCounter(text.c_str());
    char written[kCounterTextSize];
    FormatUnsigned(written, count);
    FUZZ_CHECK(ParseCounter(written) == count && NextCount(count) >= count);

    // A log file name fits its room, terminated, or is refused empty.
    const std::size_t room = data[0];
    std::vector<char> out(room + 1, 'x');   // one guard byte past the room
    const bool fits =
        FormatLogFileName(room ? out.data() : nullptr, room, text.c_str(), data[1] * 0x1010101u,
                          data[2] * 0x1010101u, data[3] * 40, data[4] - 128);
    FUZZ_CHECK(out[room] == 'x');
    const std::size_t length = room ? strnlen(out.data(), room) : 0;
    FUZZ_CHECK(length < room || room == 0);
    FUZZ_CHECK(fits ? length >= 4 && std::strcmp(&out[length - 4], ".inf") == 0 : length == 0);

    // "UpdateMode", "BramokUpload" and the edition section.
    const std::wstring wide(text.begin(), text.end());
    FUZZ_CHECK(!wide.empty() || ParseUpdateMode(wide.c_str(), 7) == 7);
    FUZZ_CHECK(ParseProductUpload(wide.c_str(), true) || wide.size() == 5);
    FUZZ_CHECK(std::strncmp(EditionSectionFor(text.c_str()), "BRAMOK 11.3 (", 13) == 0);

    // Stripping removes exactly the leading spaces and tabs; there may be nothing to strip.
    std::string stripped = text;
    StripLeadingBlanks(&stripped[0]);
    StripLeadingBlanks(nullptr);
    const std::size_t cut = std::min(text.find_first_not_of(" \t"), text.size());
    FUZZ_CHECK(stripped.c_str() == text.substr(cut));
    return 0;
}
