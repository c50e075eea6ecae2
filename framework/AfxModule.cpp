#include "framework/AfxModule.h"

namespace {

AFX_MODULE_STATE g_moduleState;

bool HasResource(HINSTANCE module, LPCSTR name, LPCSTR type)
{
    return module != nullptr && FindResourceA(module, name, type) != nullptr;
}

} // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    return &g_moduleState;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (hModule == nullptr)
        return FALSE;
    if (state.bInitialized)
        return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

BOOL AfxWinInit(HINSTANCE hInstance)
{
    if (hInstance == nullptr)
        return FALSE;
    g_moduleState.m_hCurrentInstanceHandle = hInstance;
    g_moduleState.m_hCurrentResourceHandle = hInstance;
    return TRUE;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_moduleState.m_hCurrentInstanceHandle;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_moduleState.m_hCurrentResourceHandle;
}

void AfxSetResourceHandle(HINSTANCE hResource)
{
    g_moduleState.m_hCurrentResourceHandle = hResource;
}

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type)
{
    if (HasResource(g_moduleState.m_hCurrentResourceHandle, name, type))
        return g_moduleState.m_hCurrentResourceHandle;
    if (HasResource(g_moduleState.m_hCurrentInstanceHandle, name, type))
        return g_moduleState.m_hCurrentInstanceHandle;
    return nullptr;
}

int AfxLoadString(UINT id, LPSTR buffer, UINT bufferSize)
{
    if (buffer == nullptr || bufferSize == 0)
        return 0;
    buffer[0] = '\0';
    const HINSTANCE chain[] = {g_moduleState.m_hCurrentResourceHandle,
                               g_moduleState.m_hCurrentInstanceHandle};
    for (HINSTANCE module : chain) {
        if (module == nullptr)
            continue;
        const int length = LoadStringA(module, id, buffer, static_cast<int>(bufferSize));
        if (length > 0)
            return length;
    }
    buffer[0] = '\0';
    return 0;
}
