#include "web/StaticLink.h"

#include "framework/AfxModule.h"
#include "web/LinkAccessible.h"

#include <shellapi.h>

namespace {

// Longest string resource a link target is read from.
constexpr UINT kLinkStringSize = 2048;
constexpr UINT kAlignmentMask = 0xFF;   // SS_LEFT, SS_CENTER, SS_RIGHT and no flag
constexpr UINT kRightAligned = 2;

bool ShellOpen(const std::string& target)
{
    if (target.empty())
        return false;
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string WindowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

} // namespace

HCURSOR CStaticLink::g_hCursorLink = nullptr;

// Run-time class "CStaticLink", base CStatic; never made by name.
IMPLEMENT_DYNAMIC(CStaticLink, CStatic)

BEGIN_MESSAGE_MAP(CStaticLink, CStatic)
    ON_WM_NCHITTEST()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_GETDLGCODE()
    ON_WM_CHAR()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CStaticLink::CStaticLink() : m_color(RGB(0, 0, 255)), m_bDeleteOnDestroy(FALSE) {}

CStaticLink::~CStaticLink()
{
    m_font.DeleteObject();
}

void CStaticLink::PostNcDestroy()
{
    if (m_bDeleteOnDestroy)
        delete this;
}

LRESULT CStaticLink::OnNcHitTest(POINT)
{
    return HTCLIENT;
}

HBRUSH CStaticLink::CtlColor(HDC dc, UINT)
{
    if ((GetStyle() & kAlignmentMask) > kRightAligned)
        return nullptr;
    if (m_font.m_hObject == nullptr) {
        // A static left on the system font reports none; the GUI font is
        // then the base, so the link still gets its underline.
        HGDIOBJ base = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
        if (base == nullptr)
            base = GetStockObject(DEFAULT_GUI_FONT);
        LOGFONTA logFont = {};
        if (GetObjectA(base, sizeof logFont, &logFont) == sizeof logFont) {
            logFont.lfUnderline = 1;
            m_font.CreateFontIndirect(&logFont);
        }
    }
    if (m_font.m_hObject != nullptr)
        SelectObject(dc, m_font.m_hObject);
    SetTextColor(dc, m_color);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

BOOL CStaticLink::OpenLink()
{
    bool opened = ShellOpen(m_link);
    if (!opened) {
        char text[kLinkStringSize] = "";
        if (AfxLoadString(static_cast<UINT>(GetDlgCtrlID()), text, kLinkStringSize) > 0) {
            m_link = text;
            opened = ShellOpen(m_link);
        }
    }
    if (!opened) {
        m_link = WindowText(m_hWnd);
        opened = ShellOpen(m_link);
    }
    if (!opened) {
        MessageBeep(MB_OK);
        return FALSE;
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}

void CStaticLink::OnLButtonUp(UINT, POINT)
{
    OpenLink();
}

BOOL CStaticLink::OnSetCursor(HWND, UINT, UINT)
{
    if (g_hCursorLink == nullptr) {
        HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));   // IDC_HAND
        if (hand != nullptr)
            g_hCursorLink = CopyIcon(hand);
    }
    if (g_hCursorLink == nullptr)
        return FALSE;
    SetCursor(g_hCursorLink);
    return TRUE;
}

UINT CStaticLink::OnGetDlgCode()
{
    return DLGC_WANTCHARS;
}

void CStaticLink::OnChar(UINT ch, UINT, UINT)
{
    if (ch == ' ')
        OpenLink();
}

void CStaticLink::OnSetFocus(HWND)
{
    ToggleFocusFrame();
}

void CStaticLink::OnKillFocus(HWND)
{
    ToggleFocusFrame();
}

LRESULT CStaticLink::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    return AnswerLinkObjectRequest(m_hWnd, wParam, lParam);
}

void CStaticLink::ToggleFocusFrame()
{
    HWND parent = GetParent();
    if (parent == nullptr)
        return;
    RECT frame;
    SetRectEmpty(&frame);
    if ((GetStyle() & 0x0F) == SS_LEFT) {
        const std::string text = WindowText(m_hWnd);
        HDC dc = GetDC(m_hWnd);
        if (dc == nullptr)
            return;
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
        HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &frame, DT_CALCRECT);
        if (previous != nullptr)
            SelectObject(dc, previous);
        ReleaseDC(m_hWnd, dc);
        MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&frame), 2);
    } else {
        GetWindowRect(&frame);
    }
    InflateRect(&frame, 1, 1);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&frame), 2);
    HDC parentDc = GetDC(parent);
    if (parentDc == nullptr)
        return;
    DrawFocusRect(parentDc, &frame);
    ReleaseDC(parent, parentDc);
}
