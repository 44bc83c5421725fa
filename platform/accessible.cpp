#include "platform/accessible.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QWindow>

#include "platform/msgmap.h"
#include "platform/qtconvert.h"
#include "platform/qtwindow.h"

namespace platform {
namespace {

// Every static gets one: a window object that makes it take clicks may be bound after the toolkit
// made its accessible interface, so whether it is a link is asked each time.
// QAccessibleWidget is already an action interface, with no actions of its own.
class AccessibleStatic final : public QAccessibleWidget {
public:
    explicit AccessibleStatic(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override { return TakesClicks() ? QAccessible::Link : QAccessible::StaticText; }
    QString text(QAccessible::Text type) const override {
        const QString own = QAccessibleWidget::text(type);
        return type == QAccessible::Name && own.isEmpty() ? static_cast<QLabel*>(widget())->text() : own;
    }
    QStringList actionNames() const override { return TakesClicks() ? QStringList{pressAction()} : QStringList{}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& name) override {
        if (name != pressAction() || !TakesClicks())
            return;
        const QPoint middle = widget()->rect().center();
        Dispatch(Window(), WM_LBUTTONDOWN, 0x0001 /* MK_LBUTTON */, PointToLParam(POINT{middle.x(), middle.y()}));
    }

private:
    HWND Window() const { return WindowFromWidget(widget()); }
    // Whether a click in the middle would be the static's: its hit test answers HTCLIENT.
    bool TakesClicks() const {
        HWND window = Window();
        if (!IsWindow(window))
            return false;
        const QPoint middle = widget()->mapToGlobal(widget()->rect().center());
        return Dispatch(window, WM_NCHITTEST, 0, PointToLParam(POINT{middle.x(), middle.y()})) == HTCLIENT;
    }
};


// The texts of a dialog's statics, in template order, read anew each time so that they never tell a
// text the dialog no longer shows.
QString StaticTexts(const QWidget* dialog) {
    QStringList texts;
    for (QObject* child : dialog->children()) {
        HWND window = WindowFromWidget(child);
        const auto* label = qobject_cast<QLabel*>(child);
        if (window && window->kind == WindowKind::Static && !label->text().isEmpty())
            texts << label->text();
    }
    return texts.join(QLatin1String(". "));
}

bool DescribedByStaticTexts(const QWidget* dialog) {
    const HWND window = WindowFromWidget(dialog);
    return window && window->describedByStaticTexts;
}

// How a text reaches a screen reader without moving the focus, and how a dialog's lines are read as
// it opens, on each Qt.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// Qt 6.8 has an announcement event, which AT-SPI carries as object:announcement and Orca 48 speaks.
// Orca 48 reads a dialog's description twice as the dialog opens (as its text, then again after
// it), so a dialog described by its statics announces them each time it becomes active instead.
void Tell(QWidget* activeDialog, const QString& text) {
    if (text.isEmpty() || !activeDialog)
        return;
    QAccessibleAnnouncementEvent announcement(activeDialog, text);
    QAccessible::updateAccessibility(&announcement);
}

constexpr bool kDescribedByStaticTexts = false;

class TellsStaticTextsWhenActive final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowActivate && DescribedByStaticTexts(dialog))
            Tell(dialog, StaticTexts(dialog));
        return false;
    }
};

void TellStaticTextsWhenActive(QWidget* dialog) {
    static auto* const teller = new TellsStaticTextsWhenActive;
    dialog->installEventFilter(teller);
}
#else
// Qt 6.4 has no announcement: the application shows a notification, which Orca 43 speaks as it
// shows. Screen readers take a notification inside a window for part of that window and read the
// window first, so it is a top-level object of the application, as a desktop's own notifications
// are: a window that is never shown, whose accessible object is the notification while it holds a
// text. That rests on Qt 6.4 listing every top-level QWindow to screen readers, shown or not, which
// it does without documenting it. Orca 43 reads a dialog's description once as it opens.
class Notification final : public QWindow {
public:
    QAccessibleInterface* accessibleRoot() const override {
        return text.isEmpty() ? nullptr : QAccessible::queryAccessibleInterface(const_cast<Notification*>(this));
    }
    QString text;
};

Notification& TheNotification() {
    static Notification* const notification = new Notification;  // never destroyed: it may outlive the application
    return *notification;
}

class AccessibleNotification final : public QAccessibleObject {
public:
    explicit AccessibleNotification(Notification* notification) : QAccessibleObject(notification) {}

    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(qApp); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text type) const override { return type == QAccessible::Name ? Text() : QString(); }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = Text().isEmpty();
        return state;
    }

private:
    const QString& Text() const { return static_cast<Notification*>(object())->text; }
};

void Notify(QObject* object, QAccessible::Event type) {
    QAccessibleEvent event(object, type);
    QAccessible::updateAccessibility(&event);
}

// The notification holds what it told until it tells the next.
void Tell(QWidget* activeDialog, const QString& text) {
    Notification& notification = TheNotification();
    if (!notification.text.isEmpty())
        Notify(&notification, QAccessible::ObjectHide);
    notification.text = activeDialog ? text : QString();
    if (!notification.text.isEmpty())
        Notify(&notification, QAccessible::ObjectShow);
}

constexpr bool kDescribedByStaticTexts = true;

void TellStaticTextsWhenActive(QWidget*) {}
#endif

// A dialog that may tell its statics' texts as its description.
class AccessibleDialog final : public QAccessibleWidget {
public:
    explicit AccessibleDialog(QWidget* dialog) : QAccessibleWidget(dialog, QAccessible::Dialog) {}

    QString text(QAccessible::Text type) const override {
        const QString own = QAccessibleWidget::text(type);
        return type == QAccessible::Description && own.isEmpty() && kDescribedByStaticTexts && DescribedByStaticTexts(widget())
                   ? StaticTexts(widget())
                   : own;
    }
};

QAccessibleInterface* MakeAccessible(const QString&, QObject* object) {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    if (auto* notification = dynamic_cast<Notification*>(object))
        return new AccessibleNotification(notification);
#endif
    auto* widget = qobject_cast<QWidget*>(object);
    HWND window = widget ? WindowFromWidget(widget) : nullptr;
    if (!window || !IsWindow(window))
        return nullptr;
    if (window->kind == WindowKind::Dialog)
        return new AccessibleDialog(widget);
    auto* label = qobject_cast<QLabel*>(widget);
    return label && window->kind == WindowKind::Static ? new AccessibleStatic(label) : nullptr;
}

}  // namespace

void ShowWindowsToAssistiveTechnology() {
    static const bool installed = (QAccessible::installFactory(&MakeAccessible), true);
    (void)installed;
}

void Announce(HWND window, const char* text) {
    QWidget* dialog = IsWindow(window) && window->widget ? window->widget->window() : nullptr;
    Tell(dialog && dialog->isActiveWindow() ? dialog : nullptr, FromLocal8Bit(text));
}

void DescribeByStaticTexts(HWND dialog) {
    if (!IsWindow(dialog) || !dialog->widget)
        return;
    dialog->describedByStaticTexts = true;
    TellStaticTextsWhenActive(dialog->widget);
}

}  // namespace platform
