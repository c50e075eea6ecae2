#pragma once

// The support module's exports, by ordinal: 1 ModuleStartup, 2 ModuleShutdown,
// 7 LoadLanguageModule, 9 OpenPage, 10 GetVersionDate, 11 ShowSoftwareUpdates. All stdcall.

#include <windows.h>

#include <cstdint>

class CWnd;

extern "C" {
int WINAPI ModuleStartup(const uint32_t* code, CWnd* window, unsigned short, unsigned short);
void WINAPI ModuleShutdown(CWnd* window);
HMODULE WINAPI LoadLanguageModule(const char* code);
void WINAPI OpenPage(unsigned int pageKind, const char* subFolder);
void WINAPI GetVersionDate(BYTE* month, WORD* year);
int WINAPI ShowSoftwareUpdates(CWnd* parent);
}

// Ordinals the host binds to.
enum ModuleOrdinal : WORD {
    kOrdinalModuleStartup = 1,
    kOrdinalModuleShutdown = 2,
    kOrdinalLoadLanguageModule = 7,
    kOrdinalOpenPage = 9,
    kOrdinalGetVersionDate = 10,
    kOrdinalShowSoftwareUpdates = 11,
};
