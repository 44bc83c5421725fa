#include "platform/winapp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/modalruns.h"
#include "platform/qtconvert.h"
#include "platform/services.h"

namespace {
CWinApp* g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
    if (g_app) {
        std::fputs("A program has exactly one application object.\n", stderr);
        std::abort();
    }
    g_app = this;
}

CWinApp::~CWinApp() { g_app = nullptr; }

void CWinApp::SetModulePath(const char* path) {
    const std::filesystem::path module = std::filesystem::absolute(path);
    m_pszExeName = module.stem().string();
    if (m_pszAppName.IsEmpty())
        m_pszAppName = m_pszExeName;
    // The help page ships beside the executable, or in the installed data folder.
    std::filesystem::path help = module.parent_path() / (m_pszExeName.str() + ".html");
    const std::filesystem::path installed = module.parent_path().parent_path() / "share" / m_pszExeName.str() / help.filename();
    if (!std::filesystem::exists(help) && std::filesystem::exists(installed))
        help = installed;
    m_pszHelpFilePath = help.string();
}

void CWinApp::WinHelp(DWORD data, UINT /*command*/) {
    if (!CurrentHelpViewer().Show(m_pszHelpFilePath, data))
        AfxMessageBox(("Cannot find the help file " + m_pszHelpFilePath.str() + ".").c_str());
}

void CWinApp::OnHelp() {
    const platform::ModalRun* focused = platform::InnermostModalRun();
    WinHelp(HID_BASE_RESOURCE + (focused ? focused->templateId : 0));
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

int AfxMessageBox(const char* text, UINT type) {
    const char* title = g_app ? static_cast<const char*>(g_app->m_pszAppName) : "";
    if (!(type & 0xF0))
        type |= MB_ICONEXCLAMATION;
    CWnd* main = AfxGetMainWnd();
    return CurrentMessageBoxService().Show(main ? main->m_hWnd : nullptr, title, text, type);
}

int AfxWinMain(int argc, char** argv) {
    // The toolkit is left to the end of the process, like the resolver threads: Qt 6.4's Wayland
    // plugin can deadlock while it takes its connection down (its event thread waits for a read the
    // main thread prepared), so a closed window would leave a process behind; the process end closes
    // the connection anyway. Kept reachable, the application is no leak.
    static int count = argc;
    static QApplication* application = new QApplication(count, argv);
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->SetModulePath(argc > 0 ? argv[0] : "program");
    if (!app->m_pszDesktopEntry.IsEmpty()) {
        QGuiApplication::setDesktopFileName(platform::FromLocal8Bit(app->m_pszDesktopEntry));
        QCoreApplication::setApplicationName(platform::FromLocal8Bit(app->m_pszDesktopEntry));
    }
    const int code = app->InitInstance() ? application->exec() : 0;
    app->ExitInstance();
    return code;
}
