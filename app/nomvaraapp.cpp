#include "app/nomvaraapp.h"

#include "ui/nomvaradlg.h"
#include "ui/strings.h"

BEGIN_MESSAGE_MAP(CNomvaraApp, CWinApp)
ON_COMMAND(ID_HELP, &CNomvaraApp::OnHelp)
END_MESSAGE_MAP()

CNomvaraApp theApp;

CNomvaraApp::CNomvaraApp() { m_pszDesktopEntry = DESKTOP_ENTRY; }

BOOL CNomvaraApp::InitInstance() {
    CNomvaraDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // The dialog ends with this scope; nothing may reach it through the application afterwards.
    m_pMainWnd = nullptr;
    return FALSE;
}
