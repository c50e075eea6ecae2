#include "framework/AfxModule.h"
#include "framework/Dialog.h"
#include "framework/Static.h"
#include "framework/WinApp.h"
#include "tests/framework/FrameworkTestIds.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A label that answers its own colour and click notifications.
class CReflectingLabel : public CStatic {
public:
    HBRUSH CtlColor(HDC, UINT ctlColor)
    {
        m_colourKind = ctlColor;
        return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    }
    void OnClicked() { ++m_clicks; }
    UINT m_colourKind = 99;
    int m_clicks = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

// Asks the label for its colour and clicks it from OnInitDialog, then posts the commands
// (IDC_TEST_BUTTON as a button click) for the modal loop.
class CTestDlg : public CDialog {
public:
    explicit CTestDlg(const std::vector<UINT>& commands) : CDialog(IDD_TEST_DIALOG), m_commands(commands) {}
    BOOL OnInitDialog() override
    {
        m_initialised = true;
        m_label.SubclassDlgItem(IDC_TEST_LABEL, this);
        const auto label = reinterpret_cast<LPARAM>(GetDlgItem(IDC_TEST_LABEL));
        HDC dc = GetDC(m_hWnd);
        m_labelBrush = reinterpret_cast<HBRUSH>(
            SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), label));
        ReleaseDC(m_hWnd, dc);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_LABEL, STN_CLICKED), label);
        for (UINT command : m_commands)
            if (command == IDC_TEST_BUTTON)
                ::PostMessageA(GetDlgItem(IDC_TEST_BUTTON), BM_CLICK, 0, 0);
            else
                PostMessage(WM_COMMAND, command, 0);
        return TRUE;
    }
    void OnButton()
    {
        ++m_buttonClicks;
        EndDialog(42);
    }
    std::vector<UINT> m_commands;
    CReflectingLabel m_label;
    HBRUSH m_labelBrush = nullptr;
    bool m_initialised = false;
    int m_buttonClicks = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_BN_CLICKED(IDC_TEST_BUTTON, OnButton)
END_MESSAGE_MAP()

} // namespace

TEST(Framework, ResourcesComeThroughTheCurrentHandleThenTheApplicationAndDialogsRoute)
{
    AfxWinInit(GetModuleHandleA(nullptr));
    HMODULE module = LoadLibraryA((test::ExecutableFolder() + "fwtest\\TestModule.dll").c_str());
    ASSERT_NE(module, nullptr);
    CWinApp app("Framework test");
    char text[64];
    EXPECT_EQ(AfxLoadString(IDS_IN_MODULE, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    {
        CTestDlg missing({IDCANCEL});   // the template is only in the module
        EXPECT_EQ(missing.DoModal(), -1);
        EXPECT_FALSE(missing.m_initialised);
    }

    AfxSetResourceHandle(module);
    EXPECT_EQ(AfxGetResourceHandle(), module);
    EXPECT_EQ(AfxLoadString(IDS_IN_MODULE, text, sizeof text), 15);
    EXPECT_STREQ(text, "from the module");
    EXPECT_EQ(AfxLoadString(IDS_IN_EXECUTABLE, text, sizeof text), 19);
    EXPECT_STREQ(text, "from the executable");
    char shortText[5];   // a short buffer is never overrun
    EXPECT_EQ(AfxLoadString(IDS_IN_MODULE, shortText, sizeof shortText), 4);
    EXPECT_STREQ(shortText, "from");
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_TEST_DIALOG), MAKEINTRESOURCEA(5)), module);
    EXPECT_EQ(AfxMessageBox(12345u), 0);   // a missing string shows no message box

    CTestDlg clicked({IDC_TEST_BUTTON});
    EXPECT_EQ(clicked.DoModal(), 42);
    EXPECT_TRUE(clicked.m_initialised);
    EXPECT_EQ(clicked.m_buttonClicks, 1);
    // The parent reflected colour and click notifications to the label.
    EXPECT_EQ(clicked.m_labelBrush, GetStockObject(GRAY_BRUSH));
    EXPECT_EQ(clicked.m_label.m_colourKind, static_cast<UINT>(CTLCOLOR_STATIC));
    EXPECT_EQ(clicked.m_label.m_clicks, 1);
    EXPECT_EQ(clicked.m_hWnd, nullptr);
    // Commands the derived map leaves go to the base dialog's map.
    CTestDlg cancelled({IDCANCEL, IDC_TEST_BUTTON});
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    CTestDlg confirmed({IDOK});
    EXPECT_EQ(confirmed.DoModal(), IDOK);
    EXPECT_EQ(confirmed.m_buttonClicks, 0);
    AfxSetResourceHandle(GetModuleHandleA(nullptr));
    FreeLibrary(module);
}

TEST(Framework, WaitCursorNestsNeverGoesBelowZeroAndExtensionModuleInitialisesOnce)
{
    {
        CWaitCursor withoutApp;   // no application object: nothing to count
    }
    CWinApp app("Framework test");
    EXPECT_EQ(AfxGetApp(), &app);
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    SetCursor(arrow);
    app.BeginWaitCursor();
    app.BeginWaitCursor();
    {
        CWaitCursor wait;
        EXPECT_EQ(app.m_nWaitCursorCount, 3);
    }
    EXPECT_EQ(app.m_nWaitCursorCount, 2);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
    app.EndWaitCursor();
    app.EndWaitCursor();
    EXPECT_EQ(app.m_nWaitCursorCount, 0);
    EXPECT_EQ(GetCursor(), arrow);
    app.EndWaitCursor();
    EXPECT_EQ(app.m_nWaitCursorCount, 0);

    AFX_EXTENSION_MODULE record;
    EXPECT_FALSE(AfxInitExtensionModule(record, nullptr));
    EXPECT_FALSE(record.bInitialized);
    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_TRUE(AfxInitExtensionModule(record, self));
    EXPECT_TRUE(AfxInitExtensionModule(record, self));
    EXPECT_EQ(record.hModule, self);
    EXPECT_EQ(record.hResource, self);
}
