// Times the activity log under wine: a run when the month's file exists, a
// run that must create it with the inventory, and the floor of one bare
// profile read plus one write on the same file.
#include "activity/ActivityLog.h"

#include <shlobj.h>
#include <windows.h>

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 50;

struct Figures {
    double median;
    double minimum;
};

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

Figures Time(const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> samples;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        const double start = NowMs();
        work();
        samples.push_back(NowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.front()};
}

void Print(const char* what, const Figures& figures, const Figures& floor)
{
    std::printf("%-34s median %8.3f ms  min %8.3f ms  %5.2fx floor\n", what, figures.median,
                figures.minimum, figures.median / floor.median);
}

} // namespace

int main()
{
    char common[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common);
    const std::string product = std::string(common) + "\\BRAMOK";
    CreateDirectoryA(product.c_str(), nullptr);
    CreateDirectoryA((product + "\\11.3").c_str(), nullptr);

    char path[kActivityPathSize];
    GetActivityLogPath(path);
    const auto nothing = [] {};

    const Figures floor = Time(nothing, [&] {
        char value[260];
        GetPrivateProfileStringA("1-1-9", "1", "0", value, sizeof value, path);
        WritePrivateProfileStringA("1-1-9", "1", value, path);
    });
    // Every platform call a run must make, bare: switch, date, volume,
    // computer name, folder, existence test, read and write.
    const Figures required = Time(nothing, [&] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", 0, KEY_QUERY_VALUE,
                          &key) == ERROR_SUCCESS) {
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
    });
    const Figures warm = Time(nothing, [] { LogActivity(1, 1); });
    const Figures cold = Time([&] { DeleteFileA(path); }, [] { LogActivity(1, 1); });

    std::printf("activity log, %d runs each\n", kRuns);
    Print("floor: profile read + write", floor, floor);
    Print("floor: every call a run requires", required, floor);
    Print("LogActivity, month's file exists", warm, floor);
    Print("LogActivity, file created", cold, floor);
    std::printf("month's file exists: %.2fx the required calls\n", warm.median / required.median);
    DeleteFileA(path);
    return 0;
}
