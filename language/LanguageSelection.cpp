#include "language/LanguageSelection.h"

#include "framework/AfxModule.h"
#include "language/RegistryKey.h"
#include "module/BRMSUPP.h"
#include "module/ModuleGlobals.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kProductKey = "Software\\VORANDA\\BRAMOK\\11.3";
constexpr const char* kLanguageValue = "Language";
constexpr const char* kFallbackCode = "uk";
constexpr const char* kResourceFileName = "BRMSUPP.DLL";
constexpr std::size_t kPathSize = MAX_PATH;

// Full file name of a module; false when the system had to cut it short.
bool ModulePath(HMODULE module, char (&path)[kPathSize])
{
    const DWORD length = GetModuleFileNameA(module, path, kPathSize);
    if (length == 0 || length >= kPathSize) {
        path[0] = '\0';
        return false;
    }
    return true;
}

// Whether an snprintf into a path buffer kept the whole text; empties the
// buffer when it did not, so a cut path is never used.
bool Fits(int written, char (&path)[kPathSize])
{
    if (written < 0 || static_cast<std::size_t>(written) >= kPathSize) {
        path[0] = '\0';
        return false;
    }
    return true;
}

// The folder of the support module's file, with its trailing backslash.
bool SupportModuleFolder(char (&folder)[kPathSize])
{
    if (!ModulePath(g_hModuleInstance, folder))
        return false;
    char* lastSlash = std::strrchr(folder, '\\');
    if (lastSlash == nullptr)
        return false;
    lastSlash[1] = '\0';
    return true;
}

// Reads "Language" into code; false when the value is missing, or longer
// than a code (a full 16 bytes with no terminator counts as longer).
bool ReadLanguageValue(HKEY key, char (&code)[kLanguageCodeSize])
{
    char value[kLanguageCodeSize + 1] = {};
    DWORD size = kLanguageCodeSize;
    if (RegQueryValueExA(key, kLanguageValue, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                         &size) != ERROR_SUCCESS)
        return false;
    if (size > kLanguageCodeSize)
        return false;
    value[size] = '\0';
    if (std::strlen(value) >= kLanguageCodeSize)
        return false;
    std::memcpy(code, value, kLanguageCodeSize);
    return true;
}

// First entry beside the host executable that is a directory with a
// two-character name; stored in the registry when found.
void ScanForLanguageFolder(HKEY key, char (&code)[kLanguageCodeSize])
{
    char pattern[kPathSize];
    if (!ModulePath(nullptr, pattern))
        return;
    char* lastSlash = std::strrchr(pattern, '\\');
    if (lastSlash == nullptr || static_cast<std::size_t>(lastSlash - pattern) + 2 >= kPathSize)
        return;
    lastSlash[1] = '*';
    lastSlash[2] = '\0';

    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(pattern, &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            continue;
        entry.cFileName[sizeof entry.cFileName - 1] = '\0';
        if (std::strlen(entry.cFileName) != 2 || std::strcmp(entry.cFileName, "..") == 0)
            continue;
        std::memcpy(code, entry.cFileName, 3);
        RegSetValueExA(key, kLanguageValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(code), 3);
        break;
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
}

HMODULE LoadFromFolder(const char* folder, const char* code, const char* fileName)
{
    char path[kPathSize];
    if (!Fits(std::snprintf(path, kPathSize, "%s%s\\%s", folder, code, fileName), path))
        return nullptr;
    return LoadLibraryA(path);
}

} // namespace

void SelectLanguageCode(char (&code)[kLanguageCodeSize])
{
    std::memset(code, 0, sizeof code);
    {
        CRegistryKey productKey;
        if (productKey.Open(kProductKey, true)) {
            if (!ReadLanguageValue(productKey.m_hKey, code))
                ScanForLanguageFolder(productKey.m_hKey, code);
        }
    }
    if (code[0] == '\0')
        std::memcpy(code, kFallbackCode, 3);
}

bool LoadLanguageResources(const char* code)
{
    char folder[kPathSize];
    const bool haveFolder = SupportModuleFolder(folder);
    g_hLanguageModule =
        haveFolder && code != nullptr ? LoadFromFolder(folder, code, kResourceFileName) : nullptr;
    if (g_hLanguageModule == nullptr && haveFolder)
        g_hLanguageModule = LoadFromFolder(folder, kFallbackCode, kResourceFileName);
    return g_hLanguageModule != nullptr;
}

extern "C" HMODULE WINAPI LoadLanguageModule(const char* code)
{
    HMODULE previous = g_hLanguageModule;
    if (g_hLanguageModule != nullptr) {
        FreeLibrary(g_hLanguageModule);
        g_hLanguageModule = nullptr;
    }

    char path[kPathSize];
    if (code != nullptr && ModulePath(g_hModuleInstance, path)) {
        // Insert "\code" before the last backslash: folder\code\own-name.
        char* lastSlash = std::strrchr(path, '\\');
        char loadPath[kPathSize];
        if (lastSlash != nullptr) {
            const int folderLength = static_cast<int>(lastSlash - path);
            if (Fits(std::snprintf(loadPath, kPathSize, "%.*s\\%s%s", folderLength, path, code,
                                   lastSlash),
                     loadPath))
                g_hLanguageModule = LoadLibraryA(loadPath);
        }
    }

    // After a start-up without a window the freed module was the current
    // resource handle; never leave it naming a module that is gone.
    if (previous != nullptr && AfxGetResourceHandle() == previous)
        AfxSetResourceHandle(g_hLanguageModule != nullptr ? g_hLanguageModule
                                                          : AfxGetInstanceHandle());
    return g_hLanguageModule;
}
