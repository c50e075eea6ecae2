// Times ModuleStartup and LoadLanguageModule through the real exports under
// wine, each against the floor of the bare platform calls it must make: the
// wait cursor, the product key and its Language value, the module's path,
// the language module's load (and the old one's release), and every call of
// the activity record (with the inventory when the month's file is new).
#include "activity/ActivityLog.h"
#include "bench/BenchSupport.h"
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "module/BRMSUPP.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 40;
constexpr const char* kProductKey = "Software\\VORANDA\\BRAMOK\\11.3";

std::pair<std::pair<double, double>, std::pair<double, double>> TimeInTurns(
    const std::function<void()>& prepare, const std::function<void()>& work,
    const std::function<void()>& floorPrepare, const std::function<void()>& floorWork)
{
    const auto [path, floor] = bench::TimeInTurns(kRuns, prepare, work, floorPrepare, floorWork);
    return {{path.median, path.minimum}, {floor.median, floor.minimum}};
}

void Print(const char* what, std::pair<double, double> figures, std::pair<double, double> floor)
{
    std::printf("%-38s median %7.2f ms  min %7.2f ms  floor %7.2f ms  %5.2fx\n", what,
                figures.first, figures.second, floor.first, figures.first / floor.first);
}

} // namespace

int main()
{
    CWinApp app("BRAMOK");
    AfxWinInit(GetModuleHandleA(nullptr));
    char common[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common);
    CreateDirectoryA((std::string(common) + "\\BRAMOK").c_str(), nullptr);
    CreateDirectoryA((std::string(common) + "\\BRAMOK\\11.3").c_str(), nullptr);
    char logPath[kActivityPathSize];
    GetActivityLogPath(logPath);

    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    folder.resize(folder.rfind('\\') + 1);
    const std::string language = folder + "nl\\BRMSUPP.DLL";
    HKEY product = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &product, nullptr);
    RegSetValueExA(product, "Language", 0, REG_SZ, reinterpret_cast<const BYTE*>("nl"), 3);

    HMODULE support = LoadLibraryA((folder + "BRMSUPP.dll").c_str());
    auto startup = BRMSUPP_BIND(support, ModuleStartup);
    auto load = BRMSUPP_BIND(support, LoadLanguageModule);
    if (startup == nullptr || load == nullptr) {
        std::printf("BRMSUPP.dll or its exports not found\n");
        return 1;
    }
    const uint32_t code = 1;
    const auto removeLog = [&] { DeleteFileA(logPath); };
    // The module frees its language module before loading the next, so the
    // floor does too; outside the floors the bench holds no reference.
    HMODULE held = nullptr;
    const auto reload = [&] {
        if (held != nullptr)
            FreeLibrary(held);
        held = LoadLibraryA(language.c_str());
    };

    const auto release = [&] {
        if (held != nullptr)
            FreeLibrary(held);
        held = nullptr;
    };
    // What start-up itself adds to the record: the wait cursor on and off,
    // the product key opened and closed, and the module's own path.
    const auto startupCalls = [&] {
        HCURSOR previous = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        char value[16];
        DWORD size = sizeof value;
        RegQueryValueExA(key, "Language", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
        char path[MAX_PATH];
        GetModuleFileNameA(support, path, MAX_PATH);
        reload();
        SetCursor(previous);
    };
    // Whoever runs next holds the language module's only reference, so the path and its floor
    // each free the file and load it anew.
    const auto toModule = [&] { load("nl"); release(); };
    const auto toBench = [&] { reload(); load("xx"); };
    const auto runStartup = [&] { startup(&code, nullptr, 0, 0); };

    std::printf("support module exports under wine, %d runs each, each in turn with its floor\n",
                kRuns);
    startup(&code, nullptr, 0, 0);   // the month's file now exists
    const auto [warm, requiredFloor] = TimeInTurns(toModule, runStartup, toBench, [&] {
        startupCalls();
        bench::LockedLogCalls(logPath);
    });
    const auto [cold, createdFloor] = TimeInTurns([&] { removeLog(); toModule(); }, runStartup,
                                                  [&] { removeLog(); toBench(); }, [&] {
        startupCalls();
        bench::LockedLogCalls(logPath);
        bench::RequiredInventoryCalls(logPath);
    });
    const auto [loaded, loadFloor] = TimeInTurns(toModule, [&] { load("nl"); }, toBench, reload);
    load("xx");
    release();
    Print("ModuleStartup, month's log exists", warm, requiredFloor);
    Print("ModuleStartup, log created", cold, createdFloor);
    Print("LoadLanguageModule(\"nl\")", loaded, loadFloor);
    DeleteFileA(logPath);
    RegCloseKey(product);
    return 0;
}
