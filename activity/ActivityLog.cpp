#include "activity/ActivityLog.h"

#include "activity/ActivityNaming.h"
#include "activity/LogSwitch.h"
#include "activity/SystemInventory.h"

#include <shlobj.h>
#include <windows.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kSwitchKey = BRM_LOG_SWITCH_KEY;
constexpr const char* kSwitchValue = BRM_LOG_SWITCH_VALUE;
constexpr const char* kLogSubfolder = "BRAMOK\\11.3\\";
constexpr DWORD kComputerNameSize = 16;
constexpr DWORD kLockWaitMs = 3000;
constexpr std::size_t kPathSize = MAX_PATH;   // what the ANSI file calls accept

bool LogSwitchedOff()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSwitchKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD disabled = 0;
    DWORD size = sizeof disabled;
    const LONG result = RegQueryValueExA(key, kSwitchValue, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&disabled), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && disabled != 0;
}

// Builds the month's file path; false (path empty) when the folder is
// unknown or the name would not fit.
bool BuildLogPath(__time64_t now, char (&path)[kActivityPathSize])
{
    path[0] = '\0';
    struct tm date = {};
    if (_localtime64_s(&date, &now) != 0)
        return false;

    DWORD volume = 0;
    GetVolumeInformationA("C:\\", nullptr, 0, &volume, nullptr, nullptr, nullptr, 0);

    char computer[kComputerNameSize] = "";
    DWORD computerSize = kComputerNameSize;
    if (!GetComputerNameA(computer, &computerSize))
        computer[0] = '\0';
    computer[kComputerNameSize - 1] = '\0';

    char folder[kPathSize] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, folder)) ||
        folder[0] == '\0')
        return false;
    const std::size_t used = std::strlen(folder);
    const int added = std::snprintf(folder + used, sizeof folder - used, "\\%s", kLogSubfolder);
    if (added < 0 || used + static_cast<std::size_t>(added) >= sizeof folder)
        return false;

    static_assert(kPathSize <= kActivityPathSize, "path buffer");
    return FormatLogFileName(path, kPathSize, folder, volume, HashComputerName(computer),
                             date.tm_year + 1900, date.tm_mon + 1);
}

bool FileExists(const char* path)
{
    struct _stat64i32 info;
    return _stat64i32(path, &info) == 0;
}

// When the file was last written; zero when it is not there.
FILETIME LastWrite(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path, GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// Serialises the runs of all processes on one log file, so two at the same
// moment neither lose a count nor write the inventory twice. A holder that
// has not written the file for three seconds is taken as stuck and not
// waited for any longer; while the file keeps being written, the lock is
// passing along a queue of live holders (slow ones on a loaded machine),
// so the wait goes on.
class CLogFileLock {
public:
    explicit CLogFileLock(const char* path)
    {
        const char* name = std::strrchr(path, '\\');
        name = name != nullptr ? name + 1 : path;
        char mutexName[kPathSize + 32];
        std::snprintf(mutexName, sizeof mutexName, "Global\\BRAMOK.ActivityLog.%s", name);
        m_mutex = CreateMutexA(nullptr, FALSE, mutexName);
        if (m_mutex == nullptr)
            return;
        // A free lock, the usual case, is taken without looking at the file.
        DWORD wait = WaitForSingleObject(m_mutex, 0);
        for (FILETIME seen = {}, now = LastWrite(path); wait == WAIT_TIMEOUT; ) {
            seen = now;
            wait = WaitForSingleObject(m_mutex, kLockWaitMs);
            now = LastWrite(path);
            if (CompareFileTime(&seen, &now) == 0)
                break;
        }
        m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~CLogFileLock()
    {
        if (m_owned)
            ReleaseMutex(m_mutex);
        if (m_mutex != nullptr)
            CloseHandle(m_mutex);
    }
    CLogFileLock(const CLogFileLock&) = delete;
    CLogFileLock& operator=(const CLogFileLock&) = delete;

private:
    HANDLE m_mutex = nullptr;
    bool m_owned = false;
};

void WriteInventoryIfMissing(const char* path)
{
    if (!FileExists(path))
        WriteSystemInventory(path);
}

void AddRun(const char* path, uint32_t code, uint32_t category)
{
    char section[kCounterTextSize];
    char key[kCounterTextSize];
    FormatCounterSection(section, code);
    FormatUnsigned(key, category);

    constexpr DWORD kCountSize = 260;
    char stored[kCountSize] = "";
    const DWORD length = GetPrivateProfileStringA(section, key, "0", stored, kCountSize, path);
    const uint32_t count = length != 0 ? ParseCounter(stored) : 0;

    char next[kCounterTextSize];
    FormatUnsigned(next, NextCount(count));
    WritePrivateProfileStringA(section, key, next, path);
}

} // namespace

void GetActivityLogPathAt(__time64_t now, char (&path)[kActivityPathSize])
{
    if (!BuildLogPath(now, path))
        return;
    CLogFileLock lock(path);
    WriteInventoryIfMissing(path);
}

void LogActivityAt(uint32_t code, uint32_t category, __time64_t now)
{
    if (LogSwitchedOff())
        return;
    char path[kActivityPathSize];
    if (!BuildLogPath(now, path))
        return;
    CLogFileLock lock(path);
    WriteInventoryIfMissing(path);
    AddRun(path, code, category);
}

void GetActivityLogPath(char (&path)[kActivityPathSize])
{
    GetActivityLogPathAt(_time64(nullptr), path);
}

void LogActivity(uint32_t code, uint32_t category)
{
    LogActivityAt(code, category, _time64(nullptr));
}
