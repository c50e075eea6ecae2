#pragma once

#include "framework/Wnd.h"

// A modal dialog whose template is found through the current resource handle.
class BRMFW_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // The dialog's result; -1 when the template cannot be found or the
    // dialog cannot be created.
    virtual INT_PTR DoModal();

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    // The standard help command: the application's help for this dialog's
    // context (resource help base 0x20000 plus the template id).
    void OnHelp();

    bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override;

    UINT m_nIDHelp;

protected:
    // The template comes from module alone, never from the application's own
    // resources; a null module means no template.
    void UseTemplateFrom(HINSTANCE module)
    {
        m_hTemplateModule = module;
        m_bTemplateModuleFixed = true;
    }

    LPCSTR m_lpszTemplateName;
    CWnd* m_pParentWnd;

private:
    HINSTANCE m_hTemplateModule = nullptr;
    bool m_bTemplateModuleFixed = false;

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
