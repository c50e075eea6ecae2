// The host the tests drive: the demo host's commands (host/HostSession.h) and probes of its own.
//   TestHost [noapp] [from DIR] COMMAND...
//     noapp         no application object
//     from DIR      BRMSUPP.dll from DIR instead of this program's folder
//     watch         from here on, prints a line when the module (or the framework for it) beeps
//                   ("beep TYPE"), shows a message box ("box") or touches a profile file
//                   ("profile wait=N": the wait cursor count then), once per command and kind
//     soak N EVERY  N cycles of start-up, language loads, dialog, page open (first cycle and every
//                   EVERYth) and shutdown: what the process holds after the first and the last
//     stack         (32-bit) each export through a caller that checks the stack pointer:
//                   "ORDINAL:BYTES" left on or taken off the stack
// A shutdown that does not put the cursor back says so.
#include "framework/AfxModule.h"
#include "host/HostSession.h"
#include "tests/support/ImportSlot.h"
#include "tests/support/WinTestSupport.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

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

void Watch(HMODULE support)
{
    for (HMODULE module : {support, GetModuleHandleA("BRMFW.dll")}) {
        ReplaceImport(module, "GetPrivateProfileStringA", reinterpret_cast<const void*>(&WatchedRead));
        ReplaceImport(module, "WritePrivateProfileStringA", reinterpret_cast<const void*>(&WatchedWrite));
        ReplaceImport(module, "MessageBeep", reinterpret_cast<const void*>(&WatchedBeep));
        ReplaceImport(module, "MessageBoxA", reinterpret_cast<const void*>(&WatchedBox));
    }
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
    constexpr ULONG kSystemHandleInformation = 16;
    std::vector<BYTE> table(1 << 20);
    ULONG needed = 0;
    while (query(kSystemHandleInformation, table.data(), static_cast<ULONG>(table.size()),
                 &needed) != 0 && table.size() < (1u << 28))
        table.resize(table.size() * 2);
    const ULONG count = *reinterpret_cast<const ULONG*>(table.data());
    const auto* entries = reinterpret_cast<const Entry*>(table.data() + sizeof(ULONG_PTR));
    unsigned long own = 0;
    for (ULONG i = 0; i < count; ++i)
        own += entries[i].processId == GetCurrentProcessId();
    return own;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// What the process holds, to compare across soak cycles.
std::string Holdings()
{
    int modules = 0, windows = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        ++modules;
    CloseHandle(snapshot);
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    const test::GuiObjects gui = test::CountGuiObjects();
    char text[160];
    std::snprintf(text, sizeof text, "handles=%lu gdi=%d cursors=%d modules=%d windows=%d",
                  CountHandles(), gui.gdi, gui.cursors, modules, windows);
    return text;
}

void Soak(HostSession& host, int cycles, int pageEvery)
{
    std::string first;
    const uint32_t code = 1;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        host.support.startup(&code, &host.mainWindow, 0, 0);
        for (const char* language : {"uk", "us", "xx", "nl"})
            host.support.loadLanguage(language);
        CloseNextDialogWith(IDCANCEL, 0);
        host.support.showUpdates(&host.mainWindow);
        if ((cycle - 1) % pageEvery == 0)
            host.support.openPage(2, "");
        host.support.shutdown(&host.mainWindow);
        if (cycle == 1)
            first = Holdings();
    }
    std::printf("soak %d first %s last %s\n", cycles, first.c_str(), Holdings().c_str());
}

#if defined(__i386__)
// Calls a stdcall function with count 32-bit arguments pushed right to left on a 16-byte
// aligned stack, as a caller built by any compiler would; gives its result in result and how
// many bytes the stack pointer stands off afterwards. The compiler's own frame handling would
// repair a wrong clean-up unseen, so the expected stack pointer is kept in a callee-saved
// register.
extern "C" int32_t BrmMeasuredCall(const void* function, const uint32_t* arguments,
                                   uint32_t count, uint32_t* result);
__asm__(".text\n"
        ".globl _BrmMeasuredCall\n"
        "_BrmMeasuredCall:\n"
        "  pushl %ebp\n"
        "  movl %esp, %ebp\n"
        "  pushl %ebx\n"
        "  pushl %esi\n"
        "  pushl %edi\n"
        "  movl 12(%ebp), %esi\n"   // arguments
        "  movl 16(%ebp), %ecx\n"   // count
        "  andl $-16, %esp\n"
        "  leal (,%ecx,4), %eax\n"  // pad so the stack is aligned once the arguments are on it
        "  negl %eax\n"
        "  andl $15, %eax\n"
        "  subl %eax, %esp\n"
        "  movl %esp, %edi\n"       // where the stack pointer must be after the call
        "1:\n"
        "  testl %ecx, %ecx\n"
        "  jz 2f\n"
        "  pushl -4(%esi,%ecx,4)\n"
        "  decl %ecx\n"
        "  jmp 1b\n"
        "2:\n"
        "  call *8(%ebp)\n"
        "  movl 20(%ebp), %edx\n"
        "  movl %eax, (%edx)\n"
        "  movl %esp, %eax\n"
        "  subl %edi, %eax\n"
        "  leal -12(%ebp), %esp\n"
        "  popl %edi\n"
        "  popl %esi\n"
        "  popl %ebx\n"
        "  popl %ebp\n"
        "  ret\n");

uint32_t Arg(const void* pointer)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// The version date, start-up, a language load, an unknown page kind, a cancelled dialog and
// shutdown, each bound by ordinal.
void CheckStack(HostSession& host)
{
    const uint32_t code = 1;
    BYTE month = 0;
    WORD year = 0;
    const struct {
        WORD ordinal;
        std::vector<uint32_t> arguments;
    } calls[] = {{kOrdinalGetVersionDate, {Arg(&month), Arg(&year)}},
                 {kOrdinalModuleStartup, {Arg(&code), Arg(&host.mainWindow), 0, 0}},
                 {kOrdinalLoadLanguageModule, {Arg("uk")}},
                 {kOrdinalOpenPage, {99, 0}},
                 {kOrdinalShowSoftwareUpdates, {Arg(&host.mainWindow)}},
                 {kOrdinalModuleShutdown, {Arg(&host.mainWindow)}}};
    std::string line = "stack";
    uint32_t results[12] = {};
    for (const auto& call : calls) {
        if (call.ordinal == kOrdinalShowSoftwareUpdates)
            CloseNextDialogWith(IDCANCEL, 0);
        const int32_t moved = BrmMeasuredCall(
            reinterpret_cast<const void*>(GetProcAddress(host.support.module,
                                                         MAKEINTRESOURCEA(call.ordinal))),
            call.arguments.data(), static_cast<uint32_t>(call.arguments.size()),
            &results[call.ordinal]);
        line += " " + std::to_string(call.ordinal) + ":" + std::to_string(moved);
    }
    std::printf("%s (version %u %u, startup %u, updates %u)\n", line.c_str(), month, year,
                results[kOrdinalModuleStartup], results[kOrdinalShowSoftwareUpdates]);
}
#endif

bool Word(int& i, int argc, char** argv, const char* word)
{
    const bool found = i < argc && std::strcmp(argv[i], word) == 0;
    i += found;
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    int i = 1;
    const auto app = Word(i, argc, argv, "noapp") ? nullptr : std::make_unique<CHostApp>();
    const char* folder = Word(i, argc, argv, "from") && i < argc ? argv[i++] : nullptr;
    HostSession host;
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
        } else if (command == "soak" && i + 2 < argc) {
            const int cycles = std::atoi(argv[++i]);
            Soak(host, cycles, std::max(1, std::atoi(argv[++i])));
#if defined(__i386__)
        } else if (command == "stack") {
            CheckStack(host);
#endif
        } else if (!host.Run(argc, argv, i)) {
            std::printf("error: unknown command %s\n", command.c_str());
            return 2;
        }
        if (command == "shutdown" && GetCursor() != cursor)
            std::printf("cursor not restored\n");
        std::fflush(stdout);
    }
    return 0;
}
