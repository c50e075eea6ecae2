#pragma once

#include "framework/FrameworkApi.h"
#include "framework/Object.h"

#include <windows.h>

// Messages a parent hands back to the child control that sent them.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

class CFont;

// Thin holder of a window handle. Construction does not create a window;
// Attach, SubclassWindow and dialogs put a handle in. Objects that own a
// window procedure (subclassed controls, dialogs) get its messages through
// their message map, ProcessWindowMessage.
class BRMFW_API CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    BOOL Attach(HWND hWnd);
    HWND Detach();

    // Routes the window's messages through this object; the old procedure
    // gets what the map leaves.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // The object whose map handles this window's messages, if any.
    static CWnd* FromHandlePermanent(HWND hWnd);

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    BOOL SetWindowText(LPCSTR text) { return ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(LPSTR text, int size) const { return ::GetWindowTextA(m_hWnd, text, size); }
    BOOL SetDlgItemText(int id, LPCSTR text) { return ::SetDlgItemTextA(m_hWnd, id, text); }
    BOOL CheckDlgButton(int id, UINT check) { return ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL DestroyWindow();
    BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    void SetFont(CFont* font, BOOL redraw = TRUE);
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    BOOL GetWindowRect(LPRECT rect) const { return ::GetWindowRect(m_hWnd, rect); }

    // The message map. Returns whether the message was handled; lResult is
    // then the answer.
    virtual bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult);

    HWND m_hWnd = nullptr;

protected:
    // What a message the map does not handle gets.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Offers a child's notification (command, colour, notify, draw) to the
    // child object first, as WM_REFLECT_BASE + message.
    static bool ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

    // Called after the last message of the window.
    virtual void PostNcDestroy() {}

    static void SetPermanent(HWND hWnd, CWnd* wnd);

private:
    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC m_pfnSuper = nullptr;
};

// Message map macros: BEGIN_MESSAGE_MAP opens ProcessWindowMessage, each
// entry tests one message, END_MESSAGE_MAP chains to the base class.
#define DECLARE_MESSAGE_MAP()                                                                    \
public:                                                                                          \
    bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,           \
                              LRESULT& lResult) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                   \
    bool theClass::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, \
                                        LRESULT& lResult)                                       \
    {                                                                                            \
        using TheBaseClass = baseClass;                                                          \
        (void)hWnd;                                                                              \
        (void)lParam;

#define ON_COMMAND(id, memberFn)                                                                 \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) <= 1) {               \
        memberFn();                                                                              \
        lResult = 0;                                                                             \
        return true;                                                                             \
    }

#define ON_CONTROL(code, id, memberFn)                                                           \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code) &&          \
        lParam != 0) {                                                                           \
        memberFn();                                                                              \
        lResult = 0;                                                                             \
        return true;                                                                             \
    }

#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)

// In a control's own map: the notification its parent reflected back.
#define ON_CONTROL_REFLECT(code, memberFn)                                                       \
    if (message == WM_REFLECT_BASE + WM_COMMAND && HIWORD(wParam) == (code)) {                  \
        memberFn();                                                                              \
        lResult = 0;                                                                             \
        return true;                                                                             \
    }

// HBRUSH CtlColor(HDC dc, UINT ctlColor): the parent's colour request for
// this control, reflected as WM_REFLECT_BASE + WM_CTLCOLOR (0xBC19) with the
// device context and the CTLCOLOR_ kind. A null brush lets the parent decide.
#define ON_WM_CTLCOLOR_REFLECT()                                                                 \
    if (message == WM_REFLECT_BASE + 0x0019 /* WM_CTLCOLOR */) {                                 \
        HBRUSH brush = CtlColor(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam));      \
        if (brush != nullptr) {                                                                  \
            lResult = reinterpret_cast<LRESULT>(brush);                                          \
            return true;                                                                         \
        }                                                                                        \
    }

// Any message, with its raw arguments: LRESULT memberFn(WPARAM, LPARAM).
#define ON_MESSAGE(msg, memberFn)                                                                \
    if (message == (msg)) {                                                                      \
        lResult = memberFn(wParam, lParam);                                                      \
        return true;                                                                             \
    }

// The standard window messages a control handles itself, each with the
// handler signature the message carries.
#define ON_WM_NCHITTEST() /* LRESULT OnNcHitTest(POINT) */                                       \
    if (message == WM_NCHITTEST) {                                                               \
        lResult = OnNcHitTest(POINT{GET_X_LPARAM_(lParam), GET_Y_LPARAM_(lParam)});             \
        return true;                                                                             \
    }

#define ON_WM_LBUTTONUP() /* void OnLButtonUp(UINT flags, POINT) */                              \
    if (message == WM_LBUTTONUP) {                                                               \
        OnLButtonUp(static_cast<UINT>(wParam), POINT{GET_X_LPARAM_(lParam), GET_Y_LPARAM_(lParam)}); \
        lResult = 0;                                                                             \
        return true;                                                                             \
    }

#define ON_WM_SETCURSOR() /* BOOL OnSetCursor(HWND, UINT hitTest, UINT message) */               \
    if (message == WM_SETCURSOR) {                                                               \
        lResult = OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));   \
        return true;                                                                             \
    }

#define ON_WM_GETDLGCODE() /* UINT OnGetDlgCode() */                                             \
    if (message == WM_GETDLGCODE) {                                                              \
        lResult = OnGetDlgCode();                                                                \
        return true;                                                                             \
    }

#define ON_WM_CHAR() /* void OnChar(UINT ch, UINT repeat, UINT flags) */                        \
    if (message == WM_CHAR) {                                                                    \
        OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));                       \
        lResult = 0;                                                                             \
        return true;                                                                             \
    }

#define ON_WM_SETFOCUS() /* void OnSetFocus(HWND lost) */                                        \
    if (message == WM_SETFOCUS) {                                                                \
        OnSetFocus(reinterpret_cast<HWND>(wParam));                                              \
        lResult = 0;                                                                             \
        return true;                                                                             \
    }

#define ON_WM_KILLFOCUS() /* void OnKillFocus(HWND gaining) */                                   \
    if (message == WM_KILLFOCUS) {                                                               \
        OnKillFocus(reinterpret_cast<HWND>(wParam));                                             \
        lResult = 0;                                                                             \
        return true;                                                                             \
    }

// Signed coordinates packed in a mouse message's lParam.
#define GET_X_LPARAM_(lp) static_cast<int>(static_cast<short>(LOWORD(lp)))
#define GET_Y_LPARAM_(lp) static_cast<int>(static_cast<short>(HIWORD(lp)))

#define END_MESSAGE_MAP()                                                                        \
    return TheBaseClass::ProcessWindowMessage(hWnd, message, wParam, lParam, lResult);          \
    }
