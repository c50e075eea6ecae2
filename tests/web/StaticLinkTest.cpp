#include "web/StaticLink.h"

#include "framework/AfxModule.h"
#include "tests/support/WinTestSupport.h"
#include "tests/web/StaticLinkTestIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

HWND g_dialog = nullptr;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Runs the dialog's messages for ms milliseconds, as a modal dialog's loop would.
void Pump(DWORD ms)
{
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; Sleep(5)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(g_dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
    }
}

void Click(int id)
{
    RECT rect;
    GetWindowRect(GetDlgItem(g_dialog, id), &rect);
    SetCursorPos(rect.left + 3, (rect.top + rect.bottom) / 2);
    Pump(100);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
    Pump(100);
}

std::vector<COLORREF> Pixels()
{
    RECT area;
    GetClientRect(g_dialog, &area);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(g_dialog);
    for (LONG y = 0; y < area.bottom; ++y)
        for (LONG x = 0; x < area.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(g_dialog, dc);
    return pixels;
}

} // namespace

TEST(StaticLinkTest, OpensTargetStringOrTextAndLooksLikeALink)
{
    const std::string record = "C:\\brmtest\\links.txt";
    AfxWinInit(GetModuleHandleA(nullptr));
    CreateDirectoryA("C:\\brmtest", nullptr);
    test::UseRecordingBrowser(record);
    g_dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LINKS), nullptr,
                                  PlainDialogProc, 0);
    CWnd parent;
    parent.SubclassWindow(g_dialog);
    CStaticLink links[IDC_NOWHERE - IDC_PLAIN + 1];
    for (int id = IDC_PLAIN; id <= IDC_NOWHERE; ++id)
        links[id - IDC_PLAIN].SubclassDlgItem(static_cast<UINT>(id), &parent);
    links[0].m_link = "http://www.voranda.com/plain";
    links[1].m_link = links[3].m_link = "nosuchscheme://refused";
    SetWindowPos(g_dialog, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(g_dialog);
    Pump(300);

    // A click opens the owner's target (though the look is plain), else the string of the
    // control's id; a space its text, any other character nothing; nothing to open is FALSE.
    const HWND text = GetDlgItem(g_dialog, IDC_FROM_TEXT);
    SetFocus(text);
    PostMessageA(text, WM_CHAR, 'x', 0);
    Click(IDC_PLAIN);
    test::RecordLines(record, 1);
    Click(IDC_FROM_STRING);
    test::RecordLines(record, 2);
    PostMessageA(text, WM_CHAR, ' ', 0);
    Pump(100);
    const std::string browser =
        "\"" + test::ExecutableFolder() + "RecordingBrowser.exe\" \"http://www.voranda.com/";
    EXPECT_EQ(test::RecordLines(record, 3),
              (std::vector<std::string>{browser + "plain\"", browser + "from-string\"",
                                        browser + "from-text\""}));
    EXPECT_FALSE(links[3].OpenLink());

    // Over a link the pointer is a hand.
    ICONINFO hand = {}, shown = {};
    GetIconInfo(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)), &hand);
    GetIconInfo(GetCursor(), &shown);
    EXPECT_EQ(GetCursor(), CStaticLink::LinkCursor());
    EXPECT_EQ(shown.xHotspot, hand.xHotspot);

    // Blue text in an underlined copy of the control's font, unless a style flag is set.
    HDC dc = GetDC(g_dialog);
    for (int id : {IDC_NOWHERE, IDC_FROM_TEXT, IDC_PLAIN}) {
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        SetTextColor(dc, 0);
        const HWND item = GetDlgItem(g_dialog, id);
        SendMessageA(g_dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(item));
        LOGFONTA used = {}, base = {};
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof used, &used);
        GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(item, WM_GETFONT, 0, 0)), sizeof base,
                   &base);
        const bool copy = used.lfUnderline == 1 && used.lfHeight == base.lfHeight &&
                          std::strcmp(used.lfFaceName, base.lfFaceName) == 0;
        EXPECT_EQ(copy && GetTextColor(dc) == RGB(0, 0, 255), id != IDC_PLAIN) << id;
    }
    ReleaseDC(g_dialog, dc);

    // The focus frame, around the text or the whole control, goes with the focus.
    SetFocus(nullptr);
    Pump(100);
    const std::vector<COLORREF> before = Pixels();
    for (int id : {IDC_PLAIN, IDC_FROM_STRING}) {
        SetFocus(GetDlgItem(g_dialog, id));
        EXPECT_TRUE(Pixels() != before) << id;
    }
    SetFocus(nullptr);
    EXPECT_TRUE(Pixels() == before);
    DestroyWindow(g_dialog);
    DeleteFileA(record.c_str());
}
