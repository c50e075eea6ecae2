#include "framework/WinApp.h"

#include "framework/AfxModule.h"
#include "framework/Wnd.h"

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName != nullptr ? appName : "")
{
    AfxGetModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (state->m_pCurrentWinApp == this)
        state->m_pCurrentWinApp = nullptr;
}

void CWinApp::DoWaitCursor(int code)
{
    m_nWaitCursorCount += code;
    if (m_nWaitCursorCount < 0)
        m_nWaitCursorCount = 0;
    if (m_nWaitCursorCount > 0) {
        HCURSOR previous = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */));
        if (code > 0 && m_nWaitCursorCount == 1)
            m_hcurWaitCursorRestore = previous;
    } else {
        SetCursor(m_hcurWaitCursorRestore);
    }
}

int CWinApp::DoMessageBox(LPCSTR prompt, UINT type)
{
    HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    return MessageBoxA(owner, prompt, m_pszAppName, type);
}

void CWinApp::WinHelp(DWORD_PTR data, UINT command)
{
    if (m_pszHelpFilePath == nullptr)
        return;
    HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    ::WinHelpA(owner, m_pszHelpFilePath, command, data);
}

CWinApp* AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

int AfxMessageBox(LPCSTR text, UINT type)
{
    CWinApp* app = AfxGetApp();
    if (app != nullptr)
        return app->DoMessageBox(text, type);
    return MessageBoxA(nullptr, text, "", type);
}

CWaitCursor::CWaitCursor() : m_pApp(AfxGetApp())
{
    if (m_pApp != nullptr)
        m_pApp->BeginWaitCursor();
}

CWaitCursor::~CWaitCursor()
{
    if (m_pApp != nullptr)
        m_pApp->EndWaitCursor();
}
