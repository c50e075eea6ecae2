/* BRMSUPP.dll, the BRAMOK 11.3 support module: six stdcall functions exported
 * by ordinal only (the DLL carries no export names). Plain C or C++, 32- or
 * 64-bit Windows; needs <windows.h> only.
 *
 * Bind at run time:   ModuleStartupFn* startup = BRMSUPP_BIND(module, ModuleStartup);
 * or link BRMSUPP.lib (MSVC) / libBRMSUPP.dll.a (mingw-w64) and call the names.
 *
 * Call ModuleStartup first (only GetVersionDate may come earlier), the others
 * from the user-interface thread as often as needed, and ModuleShutdown last. */
#ifndef BRMSUPP_H
#define BRMSUPP_H

#include <windows.h>
#include <stdint.h>

#ifdef __cplusplus
class CWnd; /* the host's window object; the module only passes it on */
extern "C" {
#else
typedef struct CWnd CWnd;
#endif

/* Each function is declared through its type, so a definition or a binding
 * that differs from the type does not compile. */

/* 1: loads the interface language module and counts the run under *code.
 * window: the host's main window or NULL (then the language module stays the
 * current resource handle); the two 16-bit values are unused.
 * Returns 1, or 0 when no language module could be loaded. */
typedef int WINAPI ModuleStartupFn(const uint32_t* code, CWnd* window, unsigned short unused1,
                                   unsigned short unused2);
/* 2: with a window frees the language module; with NULL leaves it loaded. */
typedef void WINAPI ModuleShutdownFn(CWnd* window);
/* 7: frees the language module and loads the one of the language code, e.g. "nl".
 * Returns the new module, or NULL when the load failed. */
typedef HMODULE WINAPI LoadLanguageModuleFn(const char* code);
/* 9: opens a page in the default browser: kind 0-2 the maker's web pages, 4 the
 * quote page, 5 the release notes, both local pages in subFolder beside the host. */
typedef void WINAPI OpenPageFn(unsigned int kind, const char* subFolder);
/* 10: the fixed month and year of this build (5, 2015); neither may be NULL. */
typedef void WINAPI GetVersionDateFn(BYTE* month, WORD* year);
/* 11: the Software Updates dialog, modal on parent (may be NULL).
 * Returns IDOK, IDCANCEL, or -1 when it could not be shown. */
typedef int WINAPI ShowSoftwareUpdatesFn(CWnd* parent);

ModuleStartupFn ModuleStartup;
ModuleShutdownFn ModuleShutdown;
LoadLanguageModuleFn LoadLanguageModule;
OpenPageFn OpenPage;
GetVersionDateFn GetVersionDate;
ShowSoftwareUpdatesFn ShowSoftwareUpdates;

/* The numbers to bind by. Ordinals 3-6 and 8 are not used. */
enum ModuleOrdinal {
    kOrdinalModuleStartup = 1,
    kOrdinalModuleShutdown = 2,
    kOrdinalLoadLanguageModule = 7,
    kOrdinalOpenPage = 9,
    kOrdinalGetVersionDate = 10,
    kOrdinalShowSoftwareUpdates = 11
};

#ifdef __cplusplus
}
#define BRMSUPP_BIND(module, name)                                                             \
    reinterpret_cast<name##Fn*>(reinterpret_cast<void*>(                                   \
        GetProcAddress((module), MAKEINTRESOURCEA(kOrdinal##name))))
#else
/* The export of that name from a loaded BRMSUPP.dll, typed; NULL when missing. */
#define BRMSUPP_BIND(module, name)                                                             \
    ((name##Fn*)(void (*)(void))GetProcAddress((module), MAKEINTRESOURCEA(kOrdinal##name)))
#endif

#endif /* BRMSUPP_H */
