#include "updates/SoftwareUpdatesDlg.h"

#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "language/LanguageResourceIds.h"
#include "module/BRMSUPP.h"
#include "module/ModuleGlobals.h"
#include "updates/CheckNow.h"

namespace {

constexpr int kStatusTextSize = 260;

} // namespace

BEGIN_MESSAGE_MAP(CSoftwareUpdatesDlg, CDialog)
    ON_BN_CLICKED(IDC_CHECK_NOW, OnCheckNow)
    ON_BN_CLICKED(IDC_UPDATE_MODE_1, OnUpdateMode1)
    ON_BN_CLICKED(IDC_UPDATE_MODE_2, OnUpdateMode2)
    ON_BN_CLICKED(IDC_UPDATE_MODE_3, OnUpdateMode3)
    ON_BN_CLICKED(IDC_PRODUCT_UPLOAD, OnProductUpload)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CSoftwareUpdatesDlg::CSoftwareUpdatesDlg(CWnd* pParent)
    : CDialog(IDD_SOFTWARE_UPDATES, pParent), m_updateMode(1), m_productUpload(true)
{
    // Any host may have a dialog of this id of its own; this one's behaviour
    // belongs to the language module's template only.
    UseTemplateFrom(g_hLanguageModule);
    m_sectionName[0] = L'\0';
    SettingsFilePath(m_settingsPath);
}

BOOL CSoftwareUpdatesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWaitCursor wait;
    EditionSectionName(m_sectionName);

    UpdateSettings settings;
    settings.updateMode = m_updateMode;
    settings.productUpload = m_productUpload;
    LoadUpdateSettings(m_settingsPath, m_sectionName, settings);
    m_updateMode = settings.updateMode;
    m_productUpload = settings.productUpload;

    // A mode other than 2 or 3 shows as the first; the field keeps it.
    const int radio = m_updateMode == 2   ? IDC_UPDATE_MODE_2
                      : m_updateMode == 3 ? IDC_UPDATE_MODE_3
                                          : IDC_UPDATE_MODE_1;
    ::SendMessageA(GetDlgItem(radio), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageA(GetDlgItem(IDC_PRODUCT_UPLOAD), BM_SETCHECK,
                   m_productUpload ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

void CSoftwareUpdatesDlg::OnCheckNow()
{
    MarkCheckRequested(m_settingsPath, m_sectionName);
    HWND status = GetDlgItem(IDC_CHECK_STATUS);
    ::ShowWindow(status, SW_HIDE);
    CWaitCursor wait;
    const CheckRequestResult result = SendCheckNowControl();
    if (result == CheckRequestResult::ServiceUnavailable)
        return;
    char text[kStatusTextSize] = "";
    const UINT id = result == CheckRequestResult::Delivered ? IDS_CHECK_REQUEST_SENT
                                                            : IDS_CHECK_REQUEST_FAILED;
    if (LoadStringA(g_hLanguageModule, id, text, kStatusTextSize) <= 0)
        text[0] = '\0';
    ::SetWindowTextA(status, text);
    ::ShowWindow(status, SW_SHOW);
}

void CSoftwareUpdatesDlg::OnOK()
{
    UpdateSettings settings;
    settings.updateMode = m_updateMode;
    settings.productUpload = m_productUpload;
    // The user asked for these settings to be kept: when the service is
    // there but its file cannot be written, say so rather than close as if
    // they had been. No service folder means no service: nothing to say.
    // The result stays IDOK.
    if (!SaveUpdateSettings(m_settingsPath, m_sectionName, settings) &&
        m_sectionName[0] != L'\0' && SettingsFolderExists(m_settingsPath)) {
        char text[kStatusTextSize] = "";
        if (LoadStringA(g_hLanguageModule, IDS_SETTINGS_NOT_SAVED, text, kStatusTextSize) > 0) {
            MessageBeep(MB_ICONEXCLAMATION);
            char caption[kStatusTextSize] = "";
            GetWindowTextA(caption, kStatusTextSize);
            ::MessageBoxA(m_hWnd, text, caption, MB_OK | MB_ICONEXCLAMATION);
        }
    }
    CDialog::OnOK();
}

void CSoftwareUpdatesDlg::OnCancel()
{
    CDialog::OnCancel();
}

extern "C" int WINAPI ShowSoftwareUpdates(CWnd* parent)
{
    const HINSTANCE remembered = AfxGetResourceHandle();
    AfxSetResourceHandle(g_hLanguageModule);
    INT_PTR result = -1;
    try {
        CSoftwareUpdatesDlg dialog(parent);
        result = dialog.DoModal();
    } catch (...) {
        result = -1;
    }
    AfxSetResourceHandle(remembered);
    return static_cast<int>(result);
}
