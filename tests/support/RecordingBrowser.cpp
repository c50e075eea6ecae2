// Test stand-in for the default browser: appends the command line it was
// started with to the file named by BRM_BROWSER_RECORD.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    const char* record = std::getenv("BRM_BROWSER_RECORD");
    if (record == nullptr)
        return 2;
    FILE* file = std::fopen(record, "ab");
    if (file == nullptr)
        return 1;
    std::fprintf(file, "%s\n", GetCommandLineA());
    std::fclose(file);
    return 0;
}
