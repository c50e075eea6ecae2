#pragma once

// Timing and the bare platform calls the benchmarks compare against.
#include <shlobj.h>
#include <windows.h>

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <functional>
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

// runs timings of work, with prepare run untimed before each.
inline Figures Time(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const double start = NowMs();
        work();
        samples.push_back(NowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.front()};
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
    char value[260];
    GetPrivateProfileStringA("1-1-9", "1", "0", value, sizeof value, path);
    WritePrivateProfileStringA("1-1-9", "1", value, path);
}

} // namespace bench
