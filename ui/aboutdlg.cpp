#include "ui/aboutdlg.h"

#include "ui/resourceids.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}

void CAboutDlg::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_MAKER_LINK, m_makerLink);
    DDX_Control(exchange, IDC_SITE_LINK, m_siteLink);
}

BOOL CAboutDlg::OnInitDialog() {
    const BOOL focusFirstStop = CDialog::OnInitDialog();
    // Its version line is too short, and its maker lines are links, for screen readers to read them as it opens.
    DescribeByStaticTexts();
    return focusFirstStop;
}
