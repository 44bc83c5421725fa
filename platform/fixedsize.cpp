#include "platform/fixedsize.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr Qt::WindowStates kLarge = Qt::WindowMaximized | Qt::WindowFullScreen;

class FixedSizeKeeper final : public QObject {
public:
    explicit FixedSizeKeeper(QWidget* dialog) : QObject(dialog), m_dialog(dialog), m_size(dialog->size()) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !m_watching && m_dialog->windowHandle()) {
            // The window learns of a maximize as its title bar asks for it, before the compositor
            // answers; the widget only once the answer has been taken, too late to obey it.
            m_watching = true;
            connect(m_dialog->windowHandle(), &QWindow::windowStateChanged, this, [this](Qt::WindowState state) {
                if ((state & kLarge) && !m_lifted) {
                    m_lifted = true;
                    m_restoreAsked = false;
                    m_dialog->setMinimumSize(0, 0);
                    m_dialog->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                }
            });
        } else if (event->type() == QEvent::Paint && m_lifted && !m_restoreAsked && (m_dialog->windowState() & kLarge) &&
                   m_dialog->size() != m_size) {
            // Granted: ask to be restored once this frame, the first of the granted size, has gone
            // out; a compositor does not restore a window it has not yet seen maximized. Once only: a
            // shell that maximizes every resizable window (a kiosk, a phone) answers with another
            // maximize, and is obeyed.
            m_restoreAsked = true;
            QTimer::singleShot(0, m_dialog, [dialog = m_dialog] { dialog->setWindowState(dialog->windowState() & ~kLarge); });
        } else if (event->type() == QEvent::WindowStateChange && m_lifted && !m_restoreAsked && (m_dialog->windowState() & kLarge)) {
            // Qt 6.11 tells the widget of the granted maximize only after its first frame at that size:
            // one more frame asks for the restore.
            m_dialog->update();
        } else if ((event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange) && m_lifted &&
                   !(m_dialog->windowState() & kLarge) &&
                   (m_dialog->size() == m_size || (event->type() == QEvent::Resize && m_restoreAsked))) {
            // Restored, at whatever size the compositor chose, or never maximized at all where it refused.
            // Our own request changes the state at once but not the size: only the compositor's answer
            // resizes, and the size must not be fixed before it, while the window is still maximized.
            m_lifted = false;
            m_dialog->setFixedSize(m_size);
        }
        return false;
    }

private:
    QWidget* const m_dialog;
    const QSize m_size;
    bool m_watching = false;
    bool m_lifted = false;
    bool m_restoreAsked = false;
};

}  // namespace

void KeepFixedSizeWhenMaximized(QWidget* dialog) {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        dialog->installEventFilter(new FixedSizeKeeper(dialog));
}
