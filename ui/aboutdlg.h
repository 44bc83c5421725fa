// CAboutDlg: the program's name, version and maker; both maker lines open the maker's home page.
#pragma once

#include "platform/dialog.h"
#include "ui/linklabel.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
    ~CAboutDlg() override = default;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()

    CLinkLabel m_makerLink;
    CLinkLabel m_siteLink;
};
