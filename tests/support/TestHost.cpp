// The host the tests drive: the demo host's commands (host/HostSession.h), probes of its own and
// dialog measures (fit).
//   TestHost [noapp] [from DIR] COMMAND...
//     noapp         no application object
//     from DIR      BRMSUPP.dll from DIR instead of this program's folder
//     watch         from here on, a line per command when the module (or the framework for it)
//                   beeps ("beep TYPE"), shows a box ("box"), touches a profile ("profile wait=N")
//     quiet         from here on, the module's message boxes are answered OK unseen
//     failing       from here on, every query of the module's inventory that can fail fails
//     blanks        from here on, the module sees the display adapter named " \t ab"
//     locale        the C runtime's locale, which the module leaves alone
//     held          what the process holds (handles, GDI objects, cursors, windows)
//     wait, endwait the host's own wait cursor around other commands; endwait: is it back?
//     soak N EVERY  N cycles of start-up, languages, dialog, page (every EVERYth) and shutdown:
//                   what the process holds halfway and at the end (wine's caches fill early)
// A shutdown that does not put the cursor back says so.
//   TestHost service RECORD SETTINGS SECTION [slow]
//     the update service "VORANDA Update": appends "130 check=FLAG" to RECORD for each
//     check-now control, FLAG as SETTINGS holds it in SECTION then (slow: after the manager's wait)
#include "host/HostSession.h"
#include "tests/support/ImportSlot.h"
#include "tests/support/WinTestSupport.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string g_lastEvent;   // the last line watching printed during this command

void Event(const std::string& line)
{
    if (line == g_lastEvent)
        return;
    g_lastEvent = line;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void ProfileEvent()
{
    const CWinApp* app = AfxGetApp();
    Event("profile wait=" + std::to_string(app != nullptr ? app->m_nWaitCursorCount : -1));
}

DWORD WINAPI WatchedRead(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR text, DWORD size,
                         LPCSTR file)
{
    ProfileEvent();
    return GetPrivateProfileStringA(section, key, fallback, text, size, file);
}

BOOL WINAPI WatchedWrite(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file)
{
    ProfileEvent();
    return WritePrivateProfileStringA(section, key, text, file);
}

BOOL WINAPI WatchedBeep(UINT type)
{
    Event("beep " + std::to_string(type));
    return MessageBeep(type);
}

int WINAPI WatchedBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Event("box");
    return MessageBoxA(owner, text, caption, type);
}

// A platform call answered with result and nothing done: a message box answered unseen, a failed
// query of the inventory.
template <int Result, typename... Arguments>
int WINAPI Answer(Arguments...)
{
    return Result;
}

// A failed query's record may hold anything.
BOOL WINAPI FailFilled(MEMORYSTATUSEX* status)
{
    status->ullTotalPhys = 1ull << 40;
    return FALSE;
}

FARPROC WINAPI NoProcessorInfo(HMODULE module, LPCSTR name)
{
    if (std::strcmp(name, "GetLogicalProcessorInformation") == 0)
        return nullptr;
    return GetProcAddress(module, name);
}

BOOL WINAPI BlankAdapter(const char*, DWORD index, DISPLAY_DEVICEA* device, DWORD)
{
    std::strcpy(device->DeviceString, " \t ab");
    return index == 0;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

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
    if (!withMemory)
        return text;
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
        // Each start-up looks for a language.
        RegDeleteKeyValueA(HKEY_CURRENT_USER, test::kProductKey, "Language");
        host.support.startup(&code, &host.mainWindow, 0, 0);
        for (const char* language : {"uk", "us", "xx", "nl"})
            host.support.loadLanguage(language);
        CloseNextDialogWith(IDCANCEL, 0);
        host.support.showUpdates(&host.mainWindow);
        if ((cycle - 1) % pageEvery == 0)
            host.support.openPage(2, "");
        host.support.shutdown(&host.mainWindow);
        if (cycle == cycles / 2)
            half = Holdings(true);
    }
    const std::string last = Holdings(true);
    std::printf("soak %d half %s last %s\n", cycles, half.c_str(), last.c_str());
}

char** g_service = nullptr;   // RECORD SETTINGS SECTION [slow]
HANDLE g_stopped = nullptr;

DWORD WINAPI ServiceHandler(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_STOP)
        SetEvent(g_stopped);
    if (control != 130)
        return NO_ERROR;
    char flag[32] = "";
    GetPrivateProfileStringA(g_service[2], "Check", "<none>", flag, sizeof flag, g_service[1]);
    std::ofstream(g_service[0], std::ios::app | std::ios::binary) << "130 check=" << flag << "\n";
    Sleep(g_service[3] != nullptr ? 11000 : 0);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_RUNNING, SERVICE_ACCEPT_STOP,
                             0, 0, 0, 0};
    const SERVICE_STATUS_HANDLE handle =
        RegisterServiceCtrlHandlerExA("VORANDA Update", &ServiceHandler, nullptr);
    SetServiceStatus(handle, &status);
    WaitForSingleObject(g_stopped, INFINITE);
    status.dwCurrentState = SERVICE_STOPPED;
    SetServiceStatus(handle, &status);
}

int Serve(char** arguments)
{
    g_service = arguments;
    g_stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char name[] = "VORANDA Update";
    SERVICE_TABLE_ENTRYA table[] = {{name, &ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}

} // namespace

bool FitCommand(HostSession& host, int argc, char** argv, int& i);   // tests/language/DialogFit.cpp

int main(int argc, char** argv)
{
    if (argc >= 5 && std::strcmp(argv[1], "service") == 0)
        return Serve(argv + 2);
    int i = argc > 1 && std::strcmp(argv[1], "noapp") == 0 ? 2 : 1;
    const auto app = i == 2 ? nullptr : std::make_unique<CHostApp>();
    const char* folder = nullptr;
    if (i + 1 < argc && std::strcmp(argv[i], "from") == 0) {
        folder = argv[i + 1];
        i += 2;
    }
    HostSession host;
    if (!host.Open(folder)) {
        std::printf("error: BRMSUPP.dll or its exports not found\n");
        return 3;
    }
    const HMODULE support = host.support.module;
    const HMODULE framework = GetModuleHandleA("BRMFW.dll");
    HCURSOR beforeWait = nullptr;
    for (; i < argc; ++i) {
        const std::string command = argv[i];
        const HCURSOR cursor = GetCursor();
        g_lastEvent.clear();
        if (command == "watch") {
            for (HMODULE module : {support, framework}) {
                ReplaceImport(module, "GetPrivateProfileStringA", &WatchedRead);
                ReplaceImport(module, "WritePrivateProfileStringA", &WatchedWrite);
                ReplaceImport(module, "MessageBeep", &WatchedBeep);
                ReplaceImport(module, "MessageBoxA", &WatchedBox);
            }
        } else if (command == "quiet") {
            ReplaceImport(support, "MessageBoxA", &Answer<IDOK, HWND, LPCSTR, LPCSTR, UINT>);
            ReplaceImport(framework, "MessageBoxA", &Answer<IDOK, HWND, LPCSTR, LPCSTR, UINT>);
        } else if (command == "failing") {
            ReplaceImport(support, "GetVersionExA", &Answer<FALSE, void*>);
            ReplaceImport(support, "GlobalMemoryStatusEx", &FailFilled);
            ReplaceImport(support, "EnumDisplaySettingsA", &Answer<FALSE, LPCSTR, DWORD, void*>);
            ReplaceImport(support, "EnumDisplayDevicesA", &Answer<FALSE, LPCSTR, DWORD, void*, DWORD>);
            ReplaceImport(support, "GetLocaleInfoA", &Answer<0, LCID, LCTYPE, LPSTR, int>);
            ReplaceImport(support, "GetProcAddress", &NoProcessorInfo);
        } else if (command == "blanks") {
            ReplaceImport(support, "EnumDisplayDevicesA", &BlankAdapter);
        } else if (command == "locale") {
            std::printf("locale %s\n", std::setlocale(LC_ALL, nullptr));
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
        } else if (!FitCommand(host, argc, argv, i) && !host.Run(argc, argv, i)) {
            std::printf("error: unknown command %s\n", command.c_str());
            return 2;
        }
        if (command == "shutdown" && GetCursor() != cursor)
            std::printf("cursor not restored\n");
        std::fflush(stdout);
    }
    return 0;
}
