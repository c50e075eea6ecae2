#include "web/StaticLink.h"

#include "framework/AfxModule.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <oleacc.h>

namespace {

enum { kPlain = 101, kFromString, kFromText, kNowhere, kHostsOwn };   // the items of dialog 100
HWND g_dialog = nullptr;
int g_beeps = 0;

BOOL WINAPI CountBeep(UINT)
{
    return ++g_beeps;
}

// A host's own static answering colour requests: the kind it was asked for.
struct KindOfRequest : CStatic {
    UINT kind = ~0u;
    HBRUSH CtlColor(HDC, UINT ctlColor)
    {
        kind = ctlColor;
        return nullptr;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KindOfRequest, CStatic)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

void Pump(DWORD ms)
{
    MSG msg;
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; Sleep(5)) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

void Click(int id)
{
    RECT rect;
    GetWindowRect(GetDlgItem(g_dialog, id), &rect);
    SetCursorPos(rect.left + 3, (rect.top + rect.bottom) / 2);
    Pump(100);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Pump(100);
}

// The focus frames the link draws (recorded only): the last, on whose window's DC, how many.
RECT g_frame = {};
HWND g_frameWindow = nullptr;
int g_frames = 0;

BOOL WINAPI RecordFrame(HDC dc, const RECT* frame)
{
    g_frame = *frame;
    g_frameWindow = WindowFromDC(dc);
    ++g_frames;
    return TRUE;
}

} // namespace

TEST(StaticLinkTest, OpensTargetStringOrTextLooksLikeALinkAndReadsAsOne)
{
    const std::string record = "C:\\links.txt";
    AfxWinInit(GetModuleHandleA(nullptr));
    test::UseRecordingBrowser(record);
    g_dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), nullptr, nullptr, 0);
    CWnd parent;
    parent.SubclassWindow(g_dialog);
    CStaticLink links[4];
    for (int id : {kPlain, kFromString, kNowhere})
        links[id - kPlain].SubclassDlgItem(static_cast<UINT>(id), &parent);
    auto* owned = new CStaticLink;
    owned->m_bDeleteOnDestroy = TRUE;
    owned->SubclassDlgItem(kFromText, &parent);
    links[0].m_link = "http://www.voranda.com/plain";
    links[1].m_link = links[3].m_link = "nosuchscheme://refused";
    SetWindowPos(g_dialog, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(g_dialog);
    Pump(300);

    // A click opens the owner's target, else its id's string; a space its text, a letter nothing.
    const HWND text = GetDlgItem(g_dialog, kFromText);
    SetFocus(text);
    PostMessageA(text, WM_CHAR, 'x', 0);
    Click(kPlain);
    test::RecordLines(record, 1);
    Click(kFromString);
    test::RecordLines(record, 2);
    PostMessageA(text, WM_CHAR, ' ', 0);
    Pump(100);
    const std::string browser =
        "\"" + test::ExecutableFolder() + "RecordingBrowser.exe\" \"http://www.voranda.com/";
    EXPECT_EQ(test::RecordLines(record, 3),
              (std::vector<std::string>{browser + "plain\"", browser + "from-string\"",
                                        browser + "from-text\""}));
    // A screen reader meets a named, focusable link whose default action opens it.
    CoInitialize(nullptr);
    IAccessible* reader = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(links[1].m_hWnd, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&reader)),
              S_OK);
    VARIANT self = {}, role = {}, state = {};
    self.vt = VT_I4;
    BSTR name = nullptr;
    EXPECT_TRUE(reader->get_accRole(self, &role) == S_OK && role.lVal == ROLE_SYSTEM_LINK)
        << role.lVal;
    EXPECT_TRUE(reader->get_accName(self, &name) == S_OK && name == std::wstring(L"From string"));
    for (HWND focus : {HWND(nullptr), links[1].m_hWnd}) {
        SetFocus(focus);
        reader->get_accState(self, &state);
        EXPECT_EQ(
            state.lVal & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_LINKED),
            STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED | (focus ? STATE_SYSTEM_FOCUSED : 0));
    }
    EXPECT_EQ(reader->accDoDefaultAction(self), S_OK);
    EXPECT_EQ(test::RecordLines(record, 4).back(), browser + "from-string\"");
    SysFreeString(name);
    reader->Release();
    test::ReplaceImport(GetModuleHandleA(nullptr), "MessageBeep", &CountBeep);
    EXPECT_FALSE(links[3].OpenLink());
    EXPECT_EQ(g_beeps, 1);

    ICONINFO hand = {}, shown = {};
    GetIconInfo(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)), &hand);
    GetIconInfo(GetCursor(), &shown);
    EXPECT_EQ(shown.xHotspot, hand.xHotspot);

    // Links repainted, hovered over and focused many times hold no more than after the first.
    test::Holdings first;
    for (int round = 0; round <= 100; ++round) {
        if (round == 1)
            first = test::CountHoldings();
        RedrawWindow(g_dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        for (int id : {kPlain, kFromString, kFromText}) {
            const LPARAM hover = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
            SendMessageA(GetDlgItem(g_dialog, id), WM_SETCURSOR, 0, hover);
            SetFocus(GetDlgItem(g_dialog, id));
        }
    }
    const test::Holdings last = test::CountHoldings();
    EXPECT_EQ(last.gdi - first.gdi, 0) << first.gdi;
    EXPECT_EQ(last.cursors - first.cursors, 0) << first.cursors;

    // Blue text on a transparent background in the link's one underlined copy of the control's
    // font, unless a style flag is set; a host's own CFont takes its font with it.
    HDC dc = GetDC(g_dialog);
    LOGFONTA base = {};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(g_dialog, WM_GETFONT, 0, 0)), sizeof base,
               &base);
    auto* hostsFont = new CFont;
    hostsFont->CreateFontIndirect(&base);
    const HGDIOBJ made = hostsFont->m_hObject;
    delete hostsFont;
    EXPECT_EQ(GetObjectType(made), 0u) << "a CFont left its font behind";
    const int ids[] = {kNowhere, kFromText, kPlain, kFromText};
    HGDIOBJ fonts[4] = {};
    for (int at = 0; at < 4; ++at) {
        const int id = ids[at];
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        SetTextColor(dc, 0);
        SetBkMode(dc, OPAQUE);
        SendMessageA(g_dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(g_dialog, id)));
        fonts[at] = GetCurrentObject(dc, OBJ_FONT);
        LOGFONTA used = {};
        GetObjectA(fonts[at], sizeof used, &used);
        const bool underlinedCopy = used.lfUnderline == 1 && used.lfHeight == base.lfHeight &&
                                    std::strcmp(used.lfFaceName, base.lfFaceName) == 0;
        const bool look = GetTextColor(dc) == RGB(0, 0, 255) && GetBkMode(dc) == TRANSPARENT;
        EXPECT_EQ(underlinedCopy && look, id != kPlain) << id;
    }
    EXPECT_EQ(fonts[1], fonts[3]) << "a font made again for the same link";
    // A host's own control is told which kind of control asks.
    KindOfRequest own;
    own.SubclassDlgItem(kHostsOwn, &parent);
    for (const auto& [request, kind] : {std::pair{WM_CTLCOLOREDIT, CTLCOLOR_EDIT},
                                        std::pair{WM_CTLCOLORSTATIC, CTLCOLOR_STATIC}}) {
        SendMessageA(g_dialog, request, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(own.m_hWnd));
        EXPECT_EQ(own.kind, static_cast<UINT>(kind)) << request;
    }
    ReleaseDC(g_dialog, dc);

    // The focus frame, on the dialog, goes with the focus, around a left-aligned link's text (far
    // less than its control) or a centred one's whole control.
    SetFocus(nullptr);
    test::ReplaceImport(GetModuleHandleA(nullptr), "DrawFocusRect", &RecordFrame);
    for (int id : {kPlain, kFromString}) {
        RECT control;
        GetWindowRect(GetDlgItem(g_dialog, id), &control);
        MapWindowPoints(nullptr, g_dialog, reinterpret_cast<POINT*>(&control), 2);
        SetFocus(GetDlgItem(g_dialog, id));
        const RECT frame = g_frame;
        SetFocus(nullptr);
        EXPECT_EQ(g_frameWindow, g_dialog) << id;
        EXPECT_TRUE(g_frames % 2 == 0 && EqualRect(&frame, &g_frame)) << g_frames;
        EXPECT_NEAR(frame.left, control.left - 1, 1) << id;
        EXPECT_NEAR(frame.top, control.top - 1, 1) << id;
        if (id == kPlain) {
            EXPECT_GT(frame.right, control.left + 20) << id;
            EXPECT_LT(frame.right, control.left + (control.right - control.left) / 2) << id;
            EXPECT_LE(frame.bottom, control.bottom + 1) << id;
        } else {
            EXPECT_NEAR(frame.right, control.right + 1, 1) << id;
            EXPECT_NEAR(frame.bottom, control.bottom + 1, 1) << id;
        }
    }
    DestroyWindow(g_dialog);
    EXPECT_EQ(GetObjectType(fonts[1]), 0u) << "the link's font outlived it";
}
