#pragma once

#include "framework/Dialog.h"
#include "web/StaticLink.h"

// The host's About box: the product and two links to the maker's pages.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

private:
    CStaticLink m_homeLink;
    CStaticLink m_productLink;
};
