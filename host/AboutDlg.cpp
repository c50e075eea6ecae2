#include "host/AboutDlg.h"

#include "host/HostResourceIds.h"

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUT, pParent) {}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_homeLink.SubclassDlgItem(IDC_HOME_LINK, this);
    m_homeLink.m_link = "http://www.voranda.com/";
    // The product link's target is its string resource.
    m_productLink.SubclassDlgItem(IDC_PRODUCT_LINK, this);
    return TRUE;
}
