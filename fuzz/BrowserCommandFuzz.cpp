// The cleaned command is a prefix of the stored one and holds no placeholder.
#include "fuzz/FuzzInput.h"
#include "web/BrowserCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string command(reinterpret_cast<const char*>(data), size);
    const std::string clean = CleanBrowserCommand(command);
    FUZZ_CHECK(command.compare(0, clean.size(), clean) == 0);
    FUZZ_CHECK(clean.find("%1") == std::string::npos);
    FUZZ_CHECK(clean.find("-nohome") == std::string::npos);
    FUZZ_CHECK(CleanBrowserCommand(clean) == clean);
    return 0;
}
