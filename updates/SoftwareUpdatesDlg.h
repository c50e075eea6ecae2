#pragma once

#include "framework/Dialog.h"
#include "updates/UpdateSettings.h"

class CWnd;

// The Software Updates dialog: edits the update mode and the upload switch
// of the update service's settings and can ask the service to check now.
class CSoftwareUpdatesDlg : public CDialog {
public:
    explicit CSoftwareUpdatesDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    wchar_t m_sectionName[kSettingsTextSize];
    wchar_t m_settingsPath[kSettingsTextSize];
    int m_updateMode;
    bool m_productUpload;

private:
    void OnCheckNow();
    void OnUpdateMode1() { m_updateMode = 1; }
    void OnUpdateMode2() { m_updateMode = 2; }
    void OnUpdateMode3() { m_updateMode = 3; }
    void OnProductUpload() { m_productUpload = !m_productUpload; }

    DECLARE_MESSAGE_MAP()
};

// ShowSoftwareUpdates (declared in module/BRMSUPP.h) runs the dialog with the
// language module as the resource handle.
