#include "platform/services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include <atomic>
#include <cstring>

#include "platform/qtwindow.h"
#include "platform/readability.h"

namespace {

class DesktopBrowser final : public BrowserLauncher {
public:
    bool Open(const char* address) override {
        return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromLocal8Bit(address)));
    }
};

class DialogMessageBox final : public MessageBoxService {
public:
    int Show(HWND owner, const char* title, const char* text, UINT type) override {
        QMessageBox box(QMessageBox::Warning, QString::fromLocal8Bit(title), QString::fromLocal8Bit(text),
                        (type & 0xF) == MB_OKCANCEL ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                        platform::WidgetOf(owner));
        platform::KeepReadable(&box);
        for (QWidget* part : box.findChildren<QWidget*>())
            platform::KeepReadable(part);
        return box.exec() == QMessageBox::Cancel ? IDCANCEL : IDOK;
    }
};

// The help is a page shipped with the program, shown in the browser at the section for the context.
class BrowserHelp final : public HelpViewer {
public:
    bool Show(const char* helpFile, DWORD context) override {
        const QFileInfo file(QString::fromLocal8Bit(helpFile));
        if (!file.exists())
            return false;
        QUrl page = QUrl::fromLocalFile(file.absoluteFilePath());
        page.setFragment(QStringLiteral("context-%1").arg(context, 0, 16));
        CurrentBrowserLauncher().Open(page.toEncoded().constData());
        return true;
    }
};

DesktopBrowser g_desktopBrowser;
DialogMessageBox g_dialogMessageBox;
BrowserHelp g_browserHelp;
std::atomic<BrowserLauncher*> g_launcher{&g_desktopBrowser};
std::atomic<MessageBoxService*> g_messageBox{&g_dialogMessageBox};
std::atomic<HelpViewer*> g_help{&g_browserHelp};

}  // namespace

void SetBrowserLauncher(BrowserLauncher* launcher) { g_launcher = launcher ? launcher : &g_desktopBrowser; }
void SetMessageBoxService(MessageBoxService* service) { g_messageBox = service ? service : &g_dialogMessageBox; }
void SetHelpViewer(HelpViewer* viewer) { g_help = viewer ? viewer : &g_browserHelp; }

BrowserLauncher& CurrentBrowserLauncher() { return *g_launcher.load(); }
MessageBoxService& CurrentMessageBoxService() { return *g_messageBox.load(); }
HelpViewer& CurrentHelpViewer() { return *g_help.load(); }

HINSTANCE ShellExecute(HWND, const char* verb, const char* file, const char*, const char*, int) {
    const bool opened = verb && file && std::strcmp(verb, "open") == 0 && CurrentBrowserLauncher().Open(file);
    return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(opened ? 33 : 2));
}
