// Times the activity log under wine: a run when the month's file exists, a
// run that must create it with the inventory, and the floors of the bare
// platform calls each must make.
#include "activity/ActivityLog.h"
#include "bench/BenchSupport.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 50;

using bench::Figures;

Figures Time(const std::function<void()>& prepare, const std::function<void()>& work)
{
    return bench::Time(kRuns, prepare, work);
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

    const Figures floor = Time(nothing, [&] { bench::CountOnce(path); });
    const Figures required = Time(nothing, [&] { bench::RequiredLogCalls(path); });
    const auto [warm, locked] = bench::TimeInTurns(kRuns, nothing, [] { LogActivity(1, 1); },
                                                   nothing, [&] { bench::LockedLogCalls(path); });
    const Figures cold = Time([&] { DeleteFileA(path); }, [] { LogActivity(1, 1); });
    const Figures created = Time([&] { DeleteFileA(path); }, [&] {
        bench::RequiredLogCalls(path);
        bench::RequiredInventoryCalls(path);
    });

    std::printf("activity log, %d runs each\n", kRuns);
    Print("floor: profile read + write", floor, floor);
    Print("floor: every call a run requires", required, floor);
    Print("floor: those calls and the file lock", locked, floor);
    Print("LogActivity, month's file exists", warm, floor);
    Print("floor: every call a new file requires", created, floor);
    Print("LogActivity, file created", cold, floor);
    std::printf("month's file exists: %.2fx the required calls, %.2fx with the lock\n",
                warm.median / required.median, warm.median / locked.median);
    std::printf("file created: %.2fx the required calls\n", cold.median / created.median);
    DeleteFileA(path);
    return 0;
}
