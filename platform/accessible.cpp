#include "platform/accessible.h"

#include <QAccessibleWidget>
#include <QLabel>

#include "platform/msgmap.h"
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

QAccessibleInterface* MakeAccessible(const QString&, QObject* object) {
    auto* label = qobject_cast<QLabel*>(object);
    HWND window = label ? WindowFromWidget(label) : nullptr;
    return window && window->kind == WindowKind::Static ? new AccessibleStatic(label) : nullptr;
}

}  // namespace

void OfferClickActionsToAssistiveTechnology() {
    static const bool installed = (QAccessible::installFactory(&MakeAccessible), true);
    (void)installed;
}

}  // namespace platform
