#include "framework/Dialog.h"

#include "framework/AfxModule.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate),
      m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)),
      m_pParentWnd(pParentWnd)
{
}

INT_PTR CDialog::DoModal()
{
    const LPCSTR dialogType = MAKEINTRESOURCEA(5);   // RT_DIALOG
    HINSTANCE module = m_bTemplateModuleFixed
                           ? m_hTemplateModule
                           : AfxFindResourceHandle(m_lpszTemplateName, dialogType);
    if (module == nullptr)
        return -1;
    HRSRC found = ::FindResourceA(module, m_lpszTemplateName, dialogType);
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const auto* dialogTemplate =
        static_cast<const DLGTEMPLATE*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    if (dialogTemplate == nullptr)
        return -1;

    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (parent == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != nullptr)
        parent = AfxGetApp()->m_pMainWnd->m_hWnd;
    const INT_PTR result = ::DialogBoxIndirectParamA(module, dialogTemplate, parent,
                                                     &CDialog::DialogProc,
                                                     reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}

void CDialog::OnHelp()
{
    constexpr DWORD_PTR kResourceHelpBase = 0x20000;
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(kResourceHelpBase + m_nIDHelp, HELP_CONTEXT);
}

bool CDialog::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& lResult)
{
    if (message == WM_COMMAND && HIWORD(wParam) <= 1) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            lResult = 0;
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            lResult = 0;
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hWnd;
        SetPermanent(hWnd, dialog);
        return dialog->OnInitDialog();
    }
    auto* dialog = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (dialog == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetPermanent(hWnd, nullptr);
        return FALSE;
    }

    LRESULT result = 0;
    bool handled = ReflectChildNotify(message, wParam, lParam, result);
    if (!handled)
        handled = dialog->ProcessWindowMessage(hWnd, message, wParam, lParam, result);
    if (!handled)
        return FALSE;
    // Colour messages answer with the brush itself; the rest through the
    // dialog's message result.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
