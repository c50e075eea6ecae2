// Times ModuleStartup and LoadLanguageModule through the real exports under
// wine, each against the floor of the bare platform calls it must make: the
// language module's load (and the old one's release), the Language value,
// and the log's profile read and write (one write per inventory line when
// the month's file is new).
#include "activity/ActivityLog.h"
#include "bench/BenchSupport.h"
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "module/ModuleExports.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 20;
constexpr int kInventoryLines = 15;

std::pair<double, double> Time(const std::function<void()>& prepare,
                               const std::function<void()>& work)
{
    const bench::Figures figures = bench::Time(kRuns, prepare, work);
    return {figures.median, figures.minimum};
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
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VORANDA\\BRAMOK\\11.3", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &product, nullptr);
    RegSetValueExA(product, "Language", 0, REG_SZ, reinterpret_cast<const BYTE*>("nl"), 3);

    HMODULE support = LoadLibraryA((folder + "BRMSUPP.dll").c_str());
    auto startup = reinterpret_cast<decltype(&ModuleStartup)>(reinterpret_cast<void*>(
        GetProcAddress(support, MAKEINTRESOURCEA(kOrdinalModuleStartup))));
    auto load = reinterpret_cast<decltype(&LoadLanguageModule)>(reinterpret_cast<void*>(
        GetProcAddress(support, MAKEINTRESOURCEA(kOrdinalLoadLanguageModule))));
    if (startup == nullptr || load == nullptr) {
        std::printf("BRMSUPP.dll or its exports not found\n");
        return 1;
    }
    const uint32_t code = 1;
    const auto nothing = [] {};
    const auto removeLog = [&] { DeleteFileA(logPath); };
    // The module frees its language module before loading the next, so the
    // floor does too; outside the floors the bench holds no reference.
    HMODULE held = nullptr;
    const auto reload = [&] {
        if (held != nullptr)
            FreeLibrary(held);
        held = LoadLibraryA(language.c_str());
    };
    const auto readLanguage = [&] {
        char value[16];
        DWORD size = sizeof value;
        RegQueryValueExA(product, "Language", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    };
    const auto profile = [&](int writes) {
        char value[260];
        GetPrivateProfileStringA("1-1-9", "1", "0", value, sizeof value, logPath);
        for (int i = 0; i < writes; ++i)
            WritePrivateProfileStringA(i == writes - 1 ? "1-1-9" : "System",
                                       i == writes - 1 ? "1" : "Key", value, logPath);
    };

    std::printf("support module exports under wine, %d runs each\n", kRuns);
    startup(&code, nullptr, 0, 0);   // the month's file now exists
    const auto warm = Time(nothing, [&] { startup(&code, nullptr, 0, 0); });
    const auto cold = Time(removeLog, [&] { startup(&code, nullptr, 0, 0); });
    const auto loaded = Time(nothing, [&] { load("nl"); });
    load("xx");   // releases the module's own reference
    const auto release = [&] {
        FreeLibrary(held);
        held = nullptr;
    };
    reload();
    const auto warmFloor = Time(nothing, [&] { readLanguage(); reload(); profile(1); });
    const auto coldFloor = Time(removeLog, [&] { readLanguage(); reload(); profile(kInventoryLines + 1); });
    const auto loadFloor = Time(nothing, reload);
    const auto requiredFloor = Time(nothing, [&] { readLanguage(); reload(); bench::RequiredLogCalls(logPath); });
    release();
    Print("ModuleStartup, month's log exists", warm, warmFloor);
    Print("  against every call a run requires", warm, requiredFloor);
    Print("ModuleStartup, log created", cold, coldFloor);
    Print("LoadLanguageModule(\"nl\")", loaded, loadFloor);
    DeleteFileA(logPath);
    RegCloseKey(product);
    return 0;
}
