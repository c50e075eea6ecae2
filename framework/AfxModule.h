#pragma once

#include "framework/FrameworkApi.h"

#include <windows.h>

// Record an extension library keeps of itself; filled once at attach.
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized = FALSE;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
};

class CWinApp;

// The process's one module state, shared by the host and every extension
// library it loads.
struct AFX_MODULE_STATE {
    CWinApp* m_pCurrentWinApp = nullptr;
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
};

BRMFW_API AFX_MODULE_STATE* AfxGetModuleState();
BRMFW_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);

// Sets up the module state for the application module (the host's exe).
BRMFW_API BOOL AfxWinInit(HINSTANCE hInstance);

BRMFW_API HINSTANCE AfxGetInstanceHandle();
BRMFW_API HINSTANCE AfxGetResourceHandle();
BRMFW_API void AfxSetResourceHandle(HINSTANCE hResource);

// The module that holds a resource: the current resource handle first, then
// the application module. Null when neither has it.
BRMFW_API HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);

// Loads string id into buffer, looking where AfxFindResourceHandle looks.
// Returns the length, 0 when the string is missing or empty.
BRMFW_API int AfxLoadString(UINT id, LPSTR buffer, UINT bufferSize);
