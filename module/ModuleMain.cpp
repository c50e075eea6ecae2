// Entry function, globals and the exports of the module frame.
#include "activity/ActivityLog.h"
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "language/LanguageSelection.h"
#include "module/BRMSUPP.h"
#include "module/ModuleGlobals.h"

HINSTANCE g_hModuleInstance = nullptr;
HMODULE g_hLanguageModule = nullptr;

namespace {

AFX_EXTENSION_MODULE g_extensionModule;

// The category every start-up counts under.
constexpr uint32_t kStartupCategory = 1;

constexpr BYTE kVersionMonth = 5;
constexpr WORD kVersionYear = 2015;

// Frees the language module; the current resource handle never keeps
// naming it afterwards.
void FreeLanguageModule()
{
    if (g_hLanguageModule == nullptr)
        return;
    if (AfxGetResourceHandle() == g_hLanguageModule)
        AfxSetResourceHandle(AfxGetInstanceHandle());
    FreeLibrary(g_hLanguageModule);
    g_hLanguageModule = nullptr;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_hModuleInstance = instance;
        if (!AfxInitExtensionModule(g_extensionModule, instance))
            return FALSE;
    }
    return TRUE;
}

extern "C" int WINAPI ModuleStartup(const uint32_t* code, CWnd* window, unsigned short,
                                    unsigned short)
{
    try {
        CWaitCursor wait;
        const HINSTANCE remembered = AfxGetResourceHandle();

        char language[kLanguageCodeSize];
        SelectLanguageCode(language);
        // A second start-up replaces the module instead of leaking it.
        const HMODULE replaced = g_hLanguageModule;
        FreeLanguageModule();
        if (!LoadLanguageResources(language))
            return 0;
        AfxSetResourceHandle(g_hLanguageModule);
        LogActivity(code != nullptr ? *code : 0, kStartupCategory);
        // The remembered handle may be the module just replaced (a start-up
        // without a window came first): its successor takes its place.
        if (window != nullptr)
            AfxSetResourceHandle(replaced != nullptr && remembered == replaced ? g_hLanguageModule
                                                                                : remembered);
        return 1;
    } catch (...) {
        return 0;
    }
}

extern "C" void WINAPI ModuleShutdown(CWnd* window)
{
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */));
    if (window != nullptr)
        FreeLanguageModule();
    SetCursor(previous);
}

extern "C" void WINAPI GetVersionDate(BYTE* month, WORD* year)
{
    if (month != nullptr)
        *month = kVersionMonth;
    if (year != nullptr)
        *year = kVersionYear;
}
