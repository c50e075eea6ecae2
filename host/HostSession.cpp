#include "host/HostSession.h"

#include "framework/AfxModule.h"
#include "host/AboutDlg.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

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
        if (entry.hModule != supportModule && _stricmp(entry.szModule, "BRMSUPP.DLL") == 0)
            list += (list.empty() ? "" : ",") + Describe(entry.hModule);
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

bool Flag(int& i, int argc, char** argv, const char* word)
{
    if (i + 1 < argc && std::strcmp(argv[i + 1], word) == 0) {
        ++i;
        return true;
    }
    return false;
}

} // namespace

void CHostApp::WinHelp(DWORD_PTR data, UINT command)
{
    std::printf("help context 0x%lx command %u resource=%s\n", static_cast<unsigned long>(data), command,
                Describe(AfxGetResourceHandle()).c_str());
    std::fflush(stdout);
}

void CloseNextDialogWith(int button, UINT delayMs)
{
    g_closeWith = button;
    SetTimer(nullptr, 0, delayMs, CloseDialogTimer);
}

bool HostSession::Open(const char* folder)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    AfxWinInit(instance);
    mainWindow.Attach(CreateMainWindow(instance));
    if (CWinApp* app = AfxGetApp())
        app->m_pMainWnd = &mainWindow;
    return support.Load(folder);
}

bool HostSession::Run(int argc, char** argv, int& i)
{
    const char* command = argv[i];
    if (std::strcmp(command, "startup") == 0 && i + 1 < argc) {
        const uint32_t code = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        CWnd* window = Flag(i, argc, argv, "nowindow") ? nullptr : &mainWindow;
        std::printf("startup %d\n", support.startup(&code, window, 0, 0));
    } else if (std::strcmp(command, "shutdown") == 0) {
        support.shutdown(Flag(i, argc, argv, "nowindow") ? nullptr : &mainWindow);
        std::printf("shutdown\n");
    } else if (std::strcmp(command, "load") == 0 && i + 1 < argc) {
        std::printf("load %s\n", Describe(support.loadLanguage(argv[++i])).c_str());
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
        const int result = support.showUpdates(parent);
        std::printf("updates %d resource=%s\n", result, Describe(AfxGetResourceHandle()).c_str());
    } else if (std::strcmp(command, "about") == 0) {
        CAboutDlg about(&mainWindow);
        if (Flag(i, argc, argv, "ok"))
            CloseNextDialogWith(IDOK, 500);
        std::printf("about %d\n", static_cast<int>(about.DoModal()));
    } else if (std::strcmp(command, "state") == 0) {
        const CWinApp* app = AfxGetApp();
        std::printf("state resource=%s wait=%d loaded=%s\n",
                    Describe(AfxGetResourceHandle()).c_str(), app ? app->m_nWaitCursorCount : -1,
                    LoadedLanguageModules(support.module).c_str());
    } else {
        return false;
    }
    std::fflush(stdout);
    return true;
}
