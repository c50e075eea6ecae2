#pragma once

#include "module/BRMSUPP.h"

// BRMSUPP.dll loaded from the host's folder, its exports bound by ordinal.
struct SupportModule {
    HMODULE module = nullptr;
    ModuleStartupFn* startup = nullptr;
    ModuleShutdownFn* shutdown = nullptr;
    LoadLanguageModuleFn* loadLanguage = nullptr;
    GetVersionDateFn* versionDate = nullptr;
    ShowSoftwareUpdatesFn* showUpdates = nullptr;
    OpenPageFn* openPage = nullptr;

    // Loads from folder (the host's own when null). False when the library
    // or one of its exports is missing.
    bool Load(const char* folder = nullptr);
};
