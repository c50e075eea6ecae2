#include "framework/Wnd.h"

#include "framework/Font.h"

namespace {

constexpr const char* kObjectProperty = "BRMFW.CWnd";

} // namespace

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

CWnd::~CWnd()
{
    if (m_pfnSuper != nullptr && ::IsWindow(m_hWnd))
        UnsubclassWindow();
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::SetPermanent(HWND hWnd, CWnd* wnd)
{
    if (wnd != nullptr)
        ::SetPropA(hWnd, kObjectProperty, wnd);
    else
        ::RemovePropA(hWnd, kObjectProperty);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    return static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty));
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr)
        return FALSE;
    m_hWnd = hWnd;
    SetPermanent(hWnd, this);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (parent == nullptr)
        return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper == nullptr)
        return nullptr;
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    SetPermanent(m_hWnd, nullptr);
    return Detach();
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font != nullptr ? font->m_hObject : nullptr),
                redraw);
}

bool CWnd::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

bool CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    HWND child = nullptr;
    UINT reflected = WM_REFLECT_BASE + message;
    LPARAM reflectedParam = lParam;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        // All colour requests reach the control as one message, with the kind.
        child = reinterpret_cast<HWND>(lParam);
        reflected = WM_REFLECT_BASE + 0x0019;   // WM_CTLCOLOR
        reflectedParam = static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX);
    } else if (message == WM_COMMAND) {
        child = reinterpret_cast<HWND>(lParam);
    } else if (message == WM_NOTIFY && lParam != 0) {
        child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    } else if (message == WM_DRAWITEM && lParam != 0) {
        child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    }
    CWnd* object = FromHandlePermanent(child);
    if (object == nullptr)
        return false;
    return object->ProcessWindowMessage(child, reflected, wParam, reflectedParam, lResult);
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    LRESULT result = 0;
    if (ReflectChildNotify(message, wParam, lParam, result))
        return result;
    if (wnd->ProcessWindowMessage(hWnd, message, wParam, lParam, result))
        return result;
    if (message == WM_NCDESTROY) {
        WNDPROC super = wnd->m_pfnSuper;
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
        return super != nullptr ? ::CallWindowProcA(super, hWnd, message, wParam, lParam)
                                : ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    return wnd->DefWindowProc(message, wParam, lParam);
}
