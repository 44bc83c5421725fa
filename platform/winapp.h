// CWinApp: the one application object, and the framework's start-up.
#pragma once

#include "platform/cstring.h"
#include "platform/wnd.h"

class CWinApp : public CCmdTarget {
public:
    // Exactly one exists, constructed before start-up. Without a name the title is the executable's.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs once at start; FALSE ends the program without a message loop.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    // Opens the help file at `data`, a context number.
    void WinHelp(DWORD data, UINT command = HELP_CONTEXT);

    CWnd* m_pMainWnd = nullptr;
    CString m_pszAppName;
    CString m_pszExeName;
    CString m_pszHelpFilePath;
    // The name of the program's desktop entry, without ".desktop": docks and shells find the program's
    // name and icon for its windows by it (the Wayland app id, the X11 WM_CLASS). Set before start-up.
    CString m_pszDesktopEntry;

    // Sets the title, executable name and help file from the executable's path.
    void SetModulePath(const char* path);

protected:
    // Help for the dialog that has the focus: context HID_BASE_RESOURCE plus its template id.
    void OnHelp();

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Shows a message box titled with the application's title, modal to the main window.
int AfxMessageBox(const char* text, UINT type = MB_OK);

// The framework's start-up routine: runs InitInstance, and a message loop only if it returns TRUE.
int AfxWinMain(int argc, char** argv);
