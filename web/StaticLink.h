#pragma once

#include "framework/Font.h"
#include "framework/Static.h"

#include <string>

// A dialog's static text shown and used as a hyperlink: blue, underlined,
// hand cursor, opened by a click or the space bar through the shell.
class CStaticLink : public CStatic {
    DECLARE_DYNAMIC(CStaticLink)

public:
    CStaticLink();
    ~CStaticLink() override;

    // Opens the target: m_link, else the string whose id is the control's,
    // else the control's text. m_link keeps the one tried last.
    BOOL OpenLink();

    // The dotted frame on the parent, one pixel outside the text (or the
    // whole control when the text is not left-aligned). Drawn inverting, so
    // a second call removes it.
    void ToggleFocusFrame();

    // The process-wide link cursor; null until a link first needed it.
    static HCURSOR LinkCursor() { return g_hCursorLink; }

    std::string m_link;
    COLORREF m_color;
    CFont m_font;
    BOOL m_bDeleteOnDestroy;

    DECLARE_MESSAGE_MAP()

protected:
    void PostNcDestroy() override;

    LRESULT OnNcHitTest(POINT point);
    HBRUSH CtlColor(HDC dc, UINT ctlColor);
    void OnLButtonUp(UINT flags, POINT point);
    BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    UINT OnGetDlgCode();
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnSetFocus(HWND lost);
    void OnKillFocus(HWND gaining);
    // For screen readers: a link, named by its text, that opens as a click does.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

private:
    // A private copy of the system hand, made once and kept for the process.
    static HCURSOR g_hCursorLink;
};
