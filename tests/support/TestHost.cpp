// The host the tests drive: the demo host's commands (host/HostSession.h), probes of its own,
// dialog measures (fit) and the inventory written with failing queries (inventory).
//   TestHost [noapp] [from DIR] COMMAND...
//     noapp         no application object
//     from DIR      BRMSUPP.dll from DIR instead of this program's folder
//     watch         from here on, a line per command when the module (or the framework for it)
//                   beeps ("beep TYPE"), shows a box ("box"), touches a profile ("profile wait=N")
//     quiet         from here on, the module's message boxes are answered OK unseen
//     held          what the process holds (handles, GDI objects, cursors, windows)
//     wait, endwait the host's own wait cursor around other commands; endwait: is it back?
//     soak N EVERY  N cycles of start-up, languages, dialog, page (every EVERYth) and shutdown:
//                   what the process holds halfway and at the end (wine's caches fill early)
// A shutdown that does not put the cursor back says so.
#include "host/HostSession.h"
#include "tests/support/ImportSlot.h"
#include "tests/support/WinTestSupport.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <string>

namespace {

std::string g_lastEvent;   // the last line watching printed during this command

void Event(const std::string& line)
{
    if (line == g_lastEvent) return;
    g_lastEvent = line;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void ProfileEvent()
{
    const CWinApp* app = AfxGetApp();
    Event("profile wait=" + std::to_string(app != nullptr ? app->m_nWaitCursorCount : -1));
}
DWORD WINAPI WatchedRead(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR text, DWORD size, LPCSTR file)
{ return ProfileEvent(), GetPrivateProfileStringA(section, key, fallback, text, size, file); }
BOOL WINAPI WatchedWrite(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file)
{ return ProfileEvent(), WritePrivateProfileStringA(section, key, text, file); }
BOOL WINAPI WatchedBeep(UINT type) { return Event("beep " + std::to_string(type)), MessageBeep(type); }
int WINAPI WatchedBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{ return Event("box"), MessageBoxA(owner, text, caption, type); }
int WINAPI AnsweredBox(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }

void Watch(HMODULE support)
{
    const std::pair<const char*, const void*> watched[] = {
        {"GetPrivateProfileStringA", reinterpret_cast<const void*>(&WatchedRead)},
        {"WritePrivateProfileStringA", reinterpret_cast<const void*>(&WatchedWrite)},
        {"MessageBeep", reinterpret_cast<const void*>(&WatchedBeep)},
        {"MessageBoxA", reinterpret_cast<const void*>(&WatchedBox)}};
    for (HMODULE module : {support, GetModuleHandleA("BRMFW.dll")})
        for (const auto& [name, replacement] : watched) ReplaceImport(module, name, replacement);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count), TRUE; }

// What the process holds, to compare across soak cycles (the language modules loaded show in
// the "state" line): handles, GDI objects, cursors and windows, then, when asked, the private
// memory in KiB, which a leak on the heap grows. Always counted in this order, so that the
// sweep's own cost lands on the same side of the memory figure each time.
std::string Holdings(bool withMemory)
{
    int windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    const test::Holdings held = test::CountHoldings();
    char text[160];
    std::snprintf(text, sizeof text, "handles=%d gdi=%d cursors=%d windows=%d", held.handles,
                  held.gdi, held.cursors, windows);
    if (!withMemory) {
        return text;
    }
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return text + (" memory=" + std::to_string(counters.PagefileUsage / 1024));
}

void Soak(HostSession& host, int cycles, int pageEvery)
{
    std::string half;
    const uint32_t code = 1;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, "Language");   // each start-up looks for one
        host.support.startup(&code, &host.mainWindow, 0, 0);
        for (const char* language : {"uk", "us", "xx", "nl"}) host.support.loadLanguage(language);
        CloseNextDialogWith(IDCANCEL, 0);
        host.support.showUpdates(&host.mainWindow);
        if ((cycle - 1) % pageEvery == 0) host.support.openPage(2, "");
        host.support.shutdown(&host.mainWindow);
        if (cycle == cycles / 2) {
            half = Holdings(true);
        }
    }
    const std::string last = Holdings(true);
    std::printf("soak %d half %s last %s\n", cycles, half.c_str(), last.c_str());
}

} // namespace

bool FitCommand(HostSession& host, int argc, char** argv, int& i);   // tests/language/DialogFit.cpp
bool ActivityCommand(int argc, char** argv, int& i);   // tests/activity/ActivityCommands.cpp

int main(int argc, char** argv)
{
    int i = argc > 1 && std::strcmp(argv[1], "noapp") == 0 ? 2 : 1;
    const auto app = i == 2 ? nullptr : std::make_unique<CHostApp>();
    const char* folder = i + 1 < argc && std::strcmp(argv[i], "from") == 0 ? argv[(i += 2) - 1] : nullptr;
    HostSession host;
    HCURSOR beforeWait = nullptr;
    if (!host.Open(folder)) {
        std::printf("error: BRMSUPP.dll or its exports not found\n");
        return 3;
    }
    for (; i < argc; ++i) {
        const std::string command = argv[i];
        const HCURSOR cursor = GetCursor();
        g_lastEvent.clear();
        if (command == "watch") {
            Watch(host.support.module);
        } else if (command == "quiet") {
            for (HMODULE module : {host.support.module, GetModuleHandleA("BRMFW.dll")})
                ReplaceImport(module, "MessageBoxA", reinterpret_cast<const void*>(&AnsweredBox));
        } else if (command == "held") {
            std::printf("held %s\n", Holdings(false).c_str());
        } else if (command == "wait" && app) {
            beforeWait = GetCursor();
            app->BeginWaitCursor();
        } else if (command == "endwait" && app) {
            app->EndWaitCursor();
            std::printf("cursor %s\n", GetCursor() == beforeWait ? "restored" : "not restored");
        } else if (command == "soak" && i + 2 < argc) {
            const int cycles = std::atoi(argv[++i]);
            Soak(host, cycles, std::max(1, std::atoi(argv[++i])));
        } else if (FitCommand(host, argc, argv, i) || ActivityCommand(argc, argv, i)) {
        } else if (!host.Run(argc, argv, i)) {
            std::printf("error: unknown command %s\n", command.c_str());
            return 2;
        }
        if (command == "shutdown" && GetCursor() != cursor) std::printf("cursor not restored\n");
        std::fflush(stdout);
    }
    return 0;
}
