// The demo's and the tests' stand-in for the default browser: appends the command line it
// was started with to the file named by BRM_BROWSER_RECORD.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    const char* record = std::getenv("BRM_BROWSER_RECORD");
    FILE* file = record != nullptr ? std::fopen(record, "ab") : nullptr;
    if (file == nullptr)
        return 1;
    std::fprintf(file, "%s\n", GetCommandLineA());
    return std::fclose(file);
}
