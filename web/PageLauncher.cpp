#include "web/PageLauncher.h"

#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "language/LanguageResourceIds.h"
#include "module/BRMSUPP.h"
#include "web/BrowserCommand.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kExecutablePathMax = MAX_PATH;
constexpr DWORD kCommandMaxBytes = 1u << 20;   // refuse absurd registry values
constexpr int kMessageSize = 1024;

} // namespace

bool ReadBrowserCommand(std::string& command)
{
    command.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    bool read = RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS &&
                size <= kCommandMaxBytes;
    std::vector<char> data;
    if (read) {
        // One byte more than asked for, so a value without a terminator ends.
        data.assign(static_cast<std::size_t>(size) + 1, '\0');
        read = RegQueryValueExA(key, nullptr, nullptr, nullptr,
                                reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    if (!read)
        return false;
    command = CleanBrowserCommand(std::string(data.data()));
    return true;
}

bool BuildLocalPagePath(unsigned char pageKind, const char* subFolder,
                        char (&path)[LOCAL_PAGE_PATH_MAX])
{
    path[0] = '\0';
    const char* name = LocalPageName(pageKind);
    if (name == nullptr || subFolder == nullptr)
        return false;
    const DWORD length = GetModuleFileNameA(nullptr, path, kExecutablePathMax);
    char* slash = length > 0 && length < kExecutablePathMax ? std::strrchr(path, '\\') : nullptr;
    if (slash == nullptr) {
        path[0] = '\0';
        return false;
    }
    slash[1] = '\0';
    const std::size_t used = std::strlen(path);
    const int added = std::snprintf(path + used, LOCAL_PAGE_PATH_MAX - used, "%s\\%s.htm",
                                    subFolder, name);
    if (added < 0 || used + static_cast<std::size_t>(added) >= LOCAL_PAGE_PATH_MAX) {
        path[0] = '\0';
        return false;
    }
    char shortPath[LOCAL_PAGE_PATH_MAX];
    const DWORD shortLength = GetShortPathNameA(path, shortPath, LOCAL_PAGE_PATH_MAX);
    if (shortLength > 0 && shortLength < LOCAL_PAGE_PATH_MAX)
        std::memcpy(path, shortPath, shortLength + 1);
    return true;
}

void ReportBrowserFailure()
{
    char text[kMessageSize];
    if (AfxLoadString(IDS_BROWSER_FAILED, text, kMessageSize) == 0)
        return;
    MessageBeep(MB_OK);
    AfxMessageBox(text, MB_OK | MB_ICONHAND);
}

extern "C" void WINAPI OpenPage(unsigned int pageKind, const char* subFolder)
{
    try {
        const auto kind = static_cast<unsigned char>(pageKind & 0xFFu);
        const char* address = WebPageAddress(kind);
        char localPath[LOCAL_PAGE_PATH_MAX] = "";
        if (address == nullptr) {
            if (LocalPageName(kind) == nullptr || !BuildLocalPagePath(kind, subFolder, localPath))
                return;
        }
        std::string command;
        if (!ReadBrowserCommand(command)) {
            ReportBrowserFailure();
            return;
        }
        command += address != nullptr ? address : localPath;

        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            ReportBrowserFailure();
            return;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } catch (...) {
        // Out of memory for the command line: nothing can be started.
    }
}
