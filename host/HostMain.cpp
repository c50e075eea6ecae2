// Test and demo host: an application object and a main window on the
// framework, driving the support module's exports from its command line.
//
//   BramokHost [noapp] [from DIR] COMMAND...
//     noapp                     run without an application object
//     from DIR                  load BRMSUPP.dll from DIR instead of the host's folder
//     startup CODE [nowindow] [probe]
//                               ModuleStartup with *code = CODE; probe also prints the
//                               lowest wait cursor count while the run is recorded
//     shutdown [nowindow]       ModuleShutdown
//     load CODE                 LoadLanguageModule
//     version                   GetVersionDate
//     open KIND SUBFOLDER       OpenPage (SUBFOLDER null passes a null pointer)
//     updates [noparent] [ok|cancel]
//                               ShowSoftwareUpdates, then the resource handle after it;
//                               ok or cancel closes the dialog by itself once it shows
//     soak N [EVERY]            N cycles of start-up, language loads, dialog, page open (on the
//                               first cycle and every EVERYth after, default every one) and
//                               shutdown; handles, GDI and user objects, modules and
//                               windows after the first cycle and at the end
//     about                     the host's About box with its links
//     stack                     (32-bit) each export once through a caller that checks the
//                               stack pointer: "ORDINAL:BYTES" left on or taken off the stack
//     state                     current resource handle, wait cursor, loaded modules
//
// Each command prints one line, so tests can read what happened.
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "host/AboutDlg.h"
#include "host/ImportSlot.h"
#include "host/StackCheck.h"
#include "host/SupportModule.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class CHostApp : public CWinApp {
public:
    CHostApp() : CWinApp("BRAMOK") {}

    // The host's own help: here it only says which context was asked for.
    void WinHelp(DWORD_PTR data, UINT command) override
    {
        std::printf("help context 0x%lx command %u\n", static_cast<unsigned long>(data), command);
        std::fflush(stdout);
    }
};

std::string HostFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

// A module's path relative to the host's folder, or "none".
std::string Describe(HMODULE module)
{
    if (module == nullptr)
        return "none";
    char path[MAX_PATH] = "";
    if (GetModuleFileNameA(module, path, MAX_PATH) == 0)
        return "freed";
    std::string text(path);
    const std::string folder = HostFolder();
    if (text.compare(0, folder.size(), folder) == 0)
        text = text.substr(folder.size());
    return text;
}

// Language resource modules loaded now, as "code\BRMSUPP.DLL", comma-separated.
std::string LoadedLanguageModules(HMODULE supportModule)
{
    std::string list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE)
        return list;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        const std::string name = Describe(entry.hModule);
        if (entry.hModule != supportModule && _stricmp(entry.szModule, "BRMSUPP.DLL") == 0)
            list += (list.empty() ? "" : ",") + name;
    }
    CloseHandle(snapshot);
    return list.empty() ? "none" : list;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BramokHostMain";
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "BRAMOK", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                           480, nullptr, nullptr, instance, nullptr);
}

// The button this thread's next modal dialog gets pressed by itself.
int g_closeWith = 0;

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Runs from the dialog's own message loop, which only shows the dialog once
// its queue runs dry: so the dialog is looked for whether it shows or not.
void CALLBACK CloseDialogTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr)
        return;
    KillTimer(nullptr, timer);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(g_closeWith, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, g_closeWith)));
}

void CloseNextDialogWith(int button, UINT delayMs)
{
    g_closeWith = button;
    SetTimer(nullptr, 0, delayMs, CloseDialogTimer);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// This process's kernel handles, from the system's handle table; wine
// answers GetProcessHandleCount with 0, the table it does fill in.
unsigned long CountHandles()
{
    struct Entry {
        ULONG processId;
        BYTE type;
        BYTE flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return 0;
    constexpr ULONG kSystemHandleInformation = 16;
    std::vector<BYTE> table(1 << 20);
    ULONG needed = 0;
    while (query(kSystemHandleInformation, table.data(), static_cast<ULONG>(table.size()),
                 &needed) != 0) {
        if (table.size() >= (1u << 28))
            return 0;
        table.resize(table.size() * 2);
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(table.data());
    const auto* entries = reinterpret_cast<const Entry*>(table.data() + sizeof(ULONG_PTR));
    unsigned long own = 0;
    for (ULONG i = 0; i < count; ++i)
        own += entries[i].processId == GetCurrentProcessId();
    return own;
}

// What a process holds, to compare across soak cycles.
std::string Holdings()
{
    DWORD handles = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &handles) || handles == 0)
        handles = CountHandles();
    int modules = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        ++modules;
    CloseHandle(snapshot);
    int windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    char text[160];
    std::snprintf(text, sizeof text, "handles=%lu gdi=%lu user=%lu modules=%d windows=%d",
                  handles, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                  GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), modules, windows);
    return text;
}

void Soak(SupportModule& support, CWnd& mainWindow, int cycles, int pageEvery)
{
    std::string first;
    const uint32_t code = 1;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        support.startup(&code, &mainWindow, 0, 0);
        for (const char* language : {"uk", "us", "xx", "nl"})
            support.loadLanguage(language);
        CloseNextDialogWith(IDCANCEL, 0);
        support.showUpdates(&mainWindow);
        if ((cycle - 1) % pageEvery == 0)
            support.openPage(2, "");
        support.shutdown(&mainWindow);
        if (cycle == 1)
            first = Holdings();
    }
    std::printf("soak %d first %s last %s\n", cycles, first.c_str(), Holdings().c_str());
}

#if defined(__i386__)
uint32_t Arg(const void* pointer)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// Start-up, a language load, an unknown page kind, a cancelled dialog and shutdown, each
// bound by ordinal and called as another compiler's host would call it.
void CheckStack(HMODULE module, CWnd& mainWindow)
{
    const uint32_t code = 1;
    BYTE month = 0;
    WORD year = 0;
    struct Call {
        WORD ordinal;
        std::vector<uint32_t> arguments;
    } calls[] = {{kOrdinalGetVersionDate, {Arg(&month), Arg(&year)}},
                 {kOrdinalModuleStartup, {Arg(&code), Arg(&mainWindow), 0, 0}},
                 {kOrdinalLoadLanguageModule, {Arg("uk")}},
                 {kOrdinalOpenPage, {99, 0}},
                 {kOrdinalShowSoftwareUpdates, {Arg(&mainWindow)}},
                 {kOrdinalModuleShutdown, {Arg(&mainWindow)}}};
    std::string line = "stack";
    uint32_t startup = 0, updates = 0;
    for (const Call& call : calls) {
        const auto function = reinterpret_cast<const void*>(
            GetProcAddress(module, MAKEINTRESOURCEA(call.ordinal)));
        if (call.ordinal == kOrdinalShowSoftwareUpdates)
            CloseNextDialogWith(IDCANCEL, 0);
        uint32_t result = 0;
        const int32_t moved = CallMeasuringStack(
            function, call.arguments.data(), static_cast<uint32_t>(call.arguments.size()),
            &result);
        line += " " + std::to_string(call.ordinal) + ":" + std::to_string(moved);
        if (call.ordinal == kOrdinalModuleStartup)
            startup = result;
        else if (call.ordinal == kOrdinalShowSoftwareUpdates)
            updates = result;
    }
    std::printf("%s (version %u %u, startup %u, updates %u)\n", line.c_str(), month, year,
                startup, updates);
}
#endif

// The lowest wait cursor count seen while the module reads and writes its activity log, whose
// profile calls are routed through here: -2 when it made none.
int g_waitWhileRecording = -2;

void NoteWaitCursor()
{
    const CWinApp* app = AfxGetApp();
    const int count = app != nullptr ? app->m_nWaitCursorCount : -1;
    if (g_waitWhileRecording == -2 || count < g_waitWhileRecording)
        g_waitWhileRecording = count;
}

DWORD WINAPI WatchedRead(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR text, DWORD size,
                         LPCSTR file)
{
    NoteWaitCursor();
    return GetPrivateProfileStringA(section, key, fallback, text, size, file);
}

BOOL WINAPI WatchedWrite(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file)
{
    NoteWaitCursor();
    return WritePrivateProfileStringA(section, key, text, file);
}

void WatchActivityLog(HMODULE module)
{
    ReplaceImport(module, "GetPrivateProfileStringA", reinterpret_cast<const void*>(&WatchedRead));
    ReplaceImport(module, "WritePrivateProfileStringA", reinterpret_cast<const void*>(&WatchedWrite));
}

bool Flag(int& i, int argc, char** argv, const char* word)
{
    if (i + 1 < argc && std::strcmp(argv[i + 1], word) == 0) {
        ++i;
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    int first = 1;
    std::unique_ptr<CHostApp> app;
    if (argc > first && std::strcmp(argv[first], "noapp") == 0)
        ++first;
    else
        app = std::make_unique<CHostApp>();
    const char* moduleFolder = nullptr;
    if (argc > first + 1 && std::strcmp(argv[first], "from") == 0) {
        moduleFolder = argv[first + 1];
        first += 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    AfxWinInit(instance);

    CWnd mainWindow;
    mainWindow.Attach(CreateMainWindow(instance));
    if (app)
        app->m_pMainWnd = &mainWindow;

    SupportModule support;
    if (!support.Load(moduleFolder)) {
        std::printf("error: BRMSUPP.dll or its exports not found\n");
        return 3;
    }

    for (int i = first; i < argc; ++i) {
        const char* command = argv[i];
        if (std::strcmp(command, "startup") == 0 && i + 1 < argc) {
            const uint32_t code = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
            CWnd* window = Flag(i, argc, argv, "nowindow") ? nullptr : &mainWindow;
            if (Flag(i, argc, argv, "probe")) {
                WatchActivityLog(support.module);
                const int result = support.startup(&code, window, 0, 0);
                std::printf("startup %d wait-while-recording=%d\n", result, g_waitWhileRecording);
            } else {
                std::printf("startup %d\n", support.startup(&code, window, 0, 0));
            }
        } else if (std::strcmp(command, "shutdown") == 0) {
            CWnd* window = Flag(i, argc, argv, "nowindow") ? nullptr : &mainWindow;
            HCURSOR before = GetCursor();
            support.shutdown(window);
            std::printf("shutdown cursor-restored %d\n", GetCursor() == before ? 1 : 0);
        } else if (std::strcmp(command, "load") == 0 && i + 1 < argc) {
            HMODULE loaded = support.loadLanguage(argv[++i]);
            std::printf("load %s\n", Describe(loaded).c_str());
        } else if (std::strcmp(command, "version") == 0) {
            BYTE month = 0;
            WORD year = 0;
            support.versionDate(&month, &year);
            std::printf("version %u %u\n", month, year);
        } else if (std::strcmp(command, "open") == 0 && i + 2 < argc) {
            const auto kind = static_cast<unsigned int>(std::strtoul(argv[++i], nullptr, 10));
            const char* subFolder = argv[++i];
            support.openPage(kind, std::strcmp(subFolder, "null") == 0 ? nullptr : subFolder);
            std::printf("open %u\n", kind);
        } else if (std::strcmp(command, "updates") == 0) {
            CWnd* parent = Flag(i, argc, argv, "noparent") ? nullptr : &mainWindow;
            if (Flag(i, argc, argv, "ok"))
                CloseNextDialogWith(IDOK, 500);
            else if (Flag(i, argc, argv, "cancel"))
                CloseNextDialogWith(IDCANCEL, 0);
            const int result = support.showUpdates(parent);
            std::printf("updates %d resource=%s\n", result, Describe(AfxGetResourceHandle()).c_str());
        } else if (std::strcmp(command, "about") == 0) {
            CAboutDlg about(&mainWindow);
            std::printf("about %d\n", static_cast<int>(about.DoModal()));
        } else if (std::strcmp(command, "soak") == 0 && i + 1 < argc) {
            const int cycles = std::atoi(argv[++i]);
            const int every = i + 1 < argc && std::atoi(argv[i + 1]) > 0 ? std::atoi(argv[++i]) : 1;
            Soak(support, mainWindow, cycles, every);
#if defined(__i386__)
        } else if (std::strcmp(command, "stack") == 0) {
            CheckStack(support.module, mainWindow);
#endif
        } else if (std::strcmp(command, "state") == 0) {
            std::printf("state resource=%s wait=%d loaded=%s\n",
                        Describe(AfxGetResourceHandle()).c_str(),
                        app ? app->m_nWaitCursorCount : -1, LoadedLanguageModules(support.module).c_str());
        } else {
            std::printf("error: unknown command %s\n", command);
            return 2;
        }
        std::fflush(stdout);
    }
    mainWindow.DestroyWindow();
    return 0;
}
