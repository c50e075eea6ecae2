#pragma once

#include <windows.h>

#include <cstdint>

class CWnd;

// BRMSUPP.dll loaded from the host's folder, its exports bound by ordinal.
struct SupportModule {
    using StartupFn = int(WINAPI*)(const uint32_t*, CWnd*, unsigned short, unsigned short);
    using ShutdownFn = void(WINAPI*)(CWnd*);
    using LoadLanguageFn = HMODULE(WINAPI*)(const char*);
    using VersionDateFn = void(WINAPI*)(BYTE*, WORD*);
    using ShowUpdatesFn = int(WINAPI*)(CWnd*);
    using OpenPageFn = void(WINAPI*)(unsigned int, const char*);

    HMODULE module = nullptr;
    StartupFn startup = nullptr;
    ShutdownFn shutdown = nullptr;
    LoadLanguageFn loadLanguage = nullptr;
    VersionDateFn versionDate = nullptr;
    ShowUpdatesFn showUpdates = nullptr;
    OpenPageFn openPage = nullptr;

    // Loads from folder (the host's own when null). False when the library
    // or one of its exports is missing.
    bool Load(const char* folder = nullptr);
};
