// A log file name either fits its buffer, terminated, or is refused empty.
#include "activity/ActivityNaming.h"
#include "fuzz/FuzzInput.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 12)
        return 0;
    uint32_t volume;
    uint32_t hash;
    std::memcpy(&volume, data, 4);
    std::memcpy(&hash, data + 4, 4);
    const int year = static_cast<int16_t>(data[8] | (data[9] << 8));
    const int month = static_cast<int8_t>(data[10]);
    const std::size_t room = data[11];
    const std::string folder = FuzzText(data + 12, size - 12);
    std::vector<char> out(room + 1, 'x');   // one guard byte past the room
    const bool fits = FormatLogFileName(room ? out.data() : nullptr, room, folder.c_str(), volume,
                                        hash, year, month);
    FUZZ_CHECK(out[room] == 'x');
    if (room == 0)
        return 0;
    FUZZ_CHECK(std::memchr(out.data(), '\0', room) != nullptr);
    FUZZ_CHECK(fits ? std::strncmp(out.data(), folder.c_str(), folder.size()) == 0 : out[0] == '\0');
    return 0;
}
