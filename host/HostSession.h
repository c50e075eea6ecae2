#pragma once

#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "host/SupportModule.h"

// The host's application object. It has no help file: its help says which context was asked for
// and which module answers resource requests meanwhile.
class CHostApp : public CWinApp {
public:
    CHostApp() : CWinApp("BRAMOK") {}
    void WinHelp(DWORD_PTR data, UINT command) override;
};

// The host's main window and BRMSUPP.dll, driven by commands that each print one line:
//   startup CODE [nowindow]   ModuleStartup with *code = CODE (nowindow: a null window)
//   shutdown [nowindow]       ModuleShutdown
//   load CODE                 LoadLanguageModule
//   version                   GetVersionDate
//   open KIND SUBFOLDER       OpenPage (SUBFOLDER null passes a null pointer)
//   updates [noparent] [ok]   ShowSoftwareUpdates, then the resource handle after it; ok
//                             presses OK half a second after the dialog opens
//   about [ok]                the host's About box with its links; ok presses OK as for updates
//   state                     current resource handle, wait cursor count, language modules loaded
class HostSession {
public:
    // The main window, and BRMSUPP.dll from folder (the host's own when null). False when the
    // module or one of its exports is missing.
    bool Open(const char* folder);
    ~HostSession() { mainWindow.DestroyWindow(); }
    // Runs the command at argv[i], moving i past its arguments; false for an unknown one.
    bool Run(int argc, char** argv, int& i);

    CWnd mainWindow;
    SupportModule support;
};

// The thread's next modal dialog is closed with button, delayMs after its loop starts.
void CloseNextDialogWith(int button, UINT delayMs);
