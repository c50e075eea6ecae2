// The demo's and the tests' stand-in for the default browser: appends the command line it
// was started with to the file named by BRM_BROWSER_RECORD.
#include <windows.h>

#include <cstdlib>
#include <string>

int main()
{
    const char* record = std::getenv("BRM_BROWSER_RECORD");
    if (record == nullptr)
        return 1;
    // One browser at a time holds the record, appending only: two started close together
    // would otherwise each write at the end they found and one line would be lost.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 1000 && file == INVALID_HANDLE_VALUE; ++tries) {
        file = CreateFileA(record, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE)
            Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const std::string line = std::string(GetCommandLineA()) + "\n";
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return wrote && written == line.size() ? 0 : 1;
}
