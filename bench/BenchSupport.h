#pragma once

// Timing and the bare platform calls the benchmarks compare against.
#include <shlobj.h>
#include <windows.h>

#include <cpuid.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <utility>
#include <vector>

namespace bench {

struct Figures {
    double median;
    double minimum;
};

inline double NowMs()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One timing of work, with prepare run untimed before it.
inline double TimeOnce(const std::function<void()>& prepare, const std::function<void()>& work)
{
    prepare();
    const double start = NowMs();
    work();
    return NowMs() - start;
}

inline Figures Summarise(std::vector<double> samples)
{
    if (samples.empty())
        return {0, 0};
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.front()};
}

// runs timings of work, with prepare run untimed before each.
inline Figures Time(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i)
        samples.push_back(TimeOnce(prepare, work));
    return Summarise(samples);
}

// A path and its floor timed in turns, so a load on the machine that comes and goes weighs
// on both alike; each prepare runs untimed before its own work.
inline std::pair<Figures, Figures> TimeInTurns(int runs, const std::function<void()>& prepare,
                                               const std::function<void()>& work,
                                               const std::function<void()>& floorPrepare,
                                               const std::function<void()>& floorWork)
{
    std::vector<double> path, floor;
    for (int i = 0; i < runs; ++i) {
        path.push_back(TimeOnce(prepare, work));
        floor.push_back(TimeOnce(floorPrepare, floorWork));
    }
    return {Summarise(path), Summarise(floor)};
}

// The counter's read and the write of its next value (wine skips writing a value that has
// not changed, so writing back what was read would cost nothing).
inline void CountOnce(const char* path)
{
    char value[260];
    GetPrivateProfileStringA("1-1-9", "1", "0", value, sizeof value, path);
    std::snprintf(value, sizeof value, "%lu", std::strtoul(value, nullptr, 10) + 1);
    WritePrivateProfileStringA("1-1-9", "1", value, path);
}

// Every platform call one activity record must make, bare: the switch, the
// date, volume, computer name, folder, existence test, and the counter's
// profile read and write.
inline void RequiredLogCalls(const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
        DWORD value = 0, size = sizeof value;
        RegQueryValueExA(key, "DisableActivityLog", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
    }
    const __time64_t now = _time64(nullptr);
    struct tm date = {};
    _localtime64_s(&date, &now);
    DWORD volume = 0;
    GetVolumeInformationA("C:\\", nullptr, 0, &volume, nullptr, nullptr, nullptr, 0);
    char computer[16] = "";
    DWORD computerSize = sizeof computer;
    GetComputerNameA(computer, &computerSize);
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                     SHGFP_TYPE_CURRENT, folder);
    struct _stat64i32 info;
    _stat64i32(path, &info);
    CountOnce(path);
}

// Those calls inside the named lock that keeps two processes from losing a count.
inline void LockedLogCalls(const char* path)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "Global\\BRAMOK.ActivityLog.bench");
    WaitForSingleObject(mutex, 0);
    RequiredLogCalls(path);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

// Every platform call the month's first record adds, bare: the Windows
// version, the locale, CPUID, the processor records, memory, the displays,
// and one profile write per inventory line.
inline void RequiredInventoryCalls(const char* path)
{
    OSVERSIONINFOEXA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version));
#pragma GCC diagnostic pop
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    GetSystemMetrics(SM_SERVERR2);
    char locale[3][128];
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, locale[0], 128);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, locale[1], 128);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, locale[2], 128);
    unsigned brand[12] = {};
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(0x80000000u, 0, a, b, c, d);
    for (unsigned leaf = 0; leaf < 3; ++leaf)
        __cpuid_count(0x80000002u + leaf, 0, brand[leaf * 4], brand[leaf * 4 + 1],
                      brand[leaf * 4 + 2], brand[leaf * 4 + 3]);
    DWORD length = 0;
    GetLogicalProcessorInformation(nullptr, &length);
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records(
        length / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) + 1);
    GetLogicalProcessorInformation(records.data(), &length);
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    EnumDisplayDevicesA(nullptr, 0, &device, 0);
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode);
    for (DWORD index = 0;; ++index) {
        DISPLAY_DEVICEA each = {};
        each.cb = sizeof each;
        if (!EnumDisplayDevicesA(nullptr, index, &each, 0))
            break;
    }
    const char* keys[] = {"Version", "OS", "Architecture", "Locale", "CPU", "Physical CPUs",
                          "CPU Cores", "Logical CPUs", "RAM", "Display Adapter",
                          "Display Width", "Display Height", "Display Count"};
    for (const char* key : keys)
        WritePrivateProfileStringA("System", key, locale[0], path);
}

} // namespace bench
