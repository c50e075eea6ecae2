#pragma once

#include "framework/FrameworkApi.h"

#include <windows.h>

class CWnd;

// The application object: one per process, registered in the module state
// while it lives.
class BRMFW_API CWinApp {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // +1 shows the wait cursor, -1 ends one request, 0 shows it again if
    // any request is open.
    void DoWaitCursor(int code);
    void BeginWaitCursor() { DoWaitCursor(1); }
    void EndWaitCursor() { DoWaitCursor(-1); }

    virtual int DoMessageBox(LPCSTR prompt, UINT type);

    // Shows help for a context; without a help file there is none to show.
    virtual void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);

    LPCSTR m_pszAppName;
    CWnd* m_pMainWnd = nullptr;
    int m_nWaitCursorCount = 0;
    LPCSTR m_pszHelpFilePath = nullptr;

private:
    HCURSOR m_hcurWaitCursorRestore = nullptr;
};

BRMFW_API CWinApp* AfxGetApp();

// Shows a message box owned by the main window, with the application's name
// as caption. The string form returns 0 for a missing string id.
BRMFW_API int AfxMessageBox(LPCSTR text, UINT type = MB_OK);

// Shows the wait cursor for the life of the object; does nothing when the
// process has no application object.
class BRMFW_API CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    CWinApp* m_pApp;
};
