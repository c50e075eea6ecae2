#pragma once

#include <windows.h>

// The support module's own instance handle, set once at process attach.
extern HINSTANCE g_hModuleInstance;

// The language resource module loaded now; null until one is loaded.
extern HMODULE g_hLanguageModule;
