#include "platform/events.h"

#include <QAccessible>
#include <QAction>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "platform/menu.h"
#include "platform/msgmap.h"
#include "platform/gdi.h"
#include "platform/qtconvert.h"
#include "platform/qtgdi.h"
#include "platform/qtwindow.h"

namespace platform {
namespace {

// The Qt event being handled as a message on this thread, innermost first.
struct EventInProgress {
    HWND window;
    UINT message;
    bool toToolkit;
    EventInProgress* outer;
};
thread_local EventInProgress* t_event = nullptr;

HWND DialogOf(QWidget* widget) {
    HWND top = WindowFromWidget(widget->window());
    return top && top->kind == WindowKind::Dialog ? top : nullptr;
}

void Command(HWND dialog, int id) { ::SendMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), 0); }

void OpenSystemMenu(HWND dialog, QPoint at) {
    if (!dialog->systemMenu)
        dialog->systemMenu = CMenu::MakeSystemMenu(dialog);
    dialog->systemMenu->Popup()->popup(at);
}

// Enter presses the focused push button, else the default one; Escape cancels; F1 asks for help;
// Alt+Space opens the window menu.
bool DialogKey(HWND dialog, QKeyEvent* key) {
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    QWidget* dialogWidget = dialog->widget;
    if (key->key() == Qt::Key_Space && modifiers == Qt::AltModifier) {
        OpenSystemMenu(dialog, dialogWidget->mapToGlobal(QPoint(0, 0)));
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        auto* pressed = qobject_cast<QPushButton*>(dialogWidget->focusWidget());
        for (auto* button : dialogWidget->findChildren<QPushButton*>())
            pressed = pressed ? pressed : button->isDefault() && button->isEnabled() ? button : nullptr;
        if (pressed)
            pressed->click();
        else
            Command(dialog, IDOK);
        return true;
    }
    case Qt::Key_Escape: Command(dialog, IDCANCEL); return true;
    case Qt::Key_F1: Command(dialog, ID_HELP); return true;
    default: return false;
    }
}

// Asks the window under the pointer which cursor to show, as WM_SETCURSOR does.
void UpdateCursor(HWND window, QPointF globalPosition) {
    const QPoint at = globalPosition.toPoint();
    if (Dispatch(window, WM_NCHITTEST, 0, PointToLParam(POINT{at.x(), at.y()})) != HTCLIENT)
        return;
    SetCursor(nullptr);
    const LPARAM hitAndMessage = LPARAM(MAKEWPARAM(WORD(HTCLIENT), WORD(WM_MOUSEMOVE)));
    const LRESULT handled = Dispatch(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), hitAndMessage);
    if (handled && GetCursor())
        window->widget->setCursor(GetCursor()->cursor);
    else
        window->widget->unsetCursor();
}

bool StaticEvent(HWND window, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter: UpdateCursor(window, static_cast<QEnterEvent*>(event)->globalPosition()); return false;
    case QEvent::MouseMove: UpdateCursor(window, static_cast<QMouseEvent*>(event)->globalPosition()); return false;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint global = mouse->globalPosition().toPoint();
        if (mouse->button() != Qt::LeftButton ||
            Dispatch(window, WM_NCHITTEST, 0, PointToLParam(POINT{global.x(), global.y()})) != HTCLIENT)
            return false;
        const QPoint local = mouse->position().toPoint();
        return !DispatchEvent(window, WM_LBUTTONDOWN, 0x0001, PointToLParam(POINT{local.x(), local.y()}));
    }
    default: return false;
    }
}

// A list box entered without a current line makes its first line current, selecting nothing, as Qt
// does only on the list's very first entry; screen readers hear the current line. The toolkit tells
// them of the list itself after this event, so the line is told once that is done.
void TellCurrentLineOnEntry(QListWidget* list) {
    if (list->count() == 0)
        return;
    if (!list->currentIndex().isValid())
        list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    QTimer::singleShot(0, list, [list] {
        if (!list->hasFocus() || list->currentRow() < 0)
            return;
        QAccessibleEvent focus(list, QAccessible::Focus);
        focus.setChild(list->currentRow());
        QAccessible::updateAccessibility(&focus);
    });
}

class EventBridge : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        HWND window = WindowFromWidget(watched);
        if (!window || !IsWindow(window))
            return false;
        if (event->type() == QEvent::KeyPress) {
            if (window->kind == WindowKind::ListBox && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
                if (auto* copy = window->widget->findChild<QAction*>(QLatin1String(platform::kCopyActionName))) {
                    copy->trigger();
                    return true;
                }
            HWND dialog = DialogOf(window->widget);
            return dialog && DialogKey(dialog, static_cast<QKeyEvent*>(event));
        }
        if (window->kind == WindowKind::Static)
            return StaticEvent(window, event);
        if (window->kind == WindowKind::ListBox && event->type() == QEvent::FocusIn)
            TellCurrentLineOnEntry(static_cast<QListWidget*>(window->widget.data()));
        if (window->kind != WindowKind::Dialog)
            return false;
        if (event->type() == QEvent::Paint) {
            window->painting = true;
            const bool toToolkit = DispatchEvent(window, WM_PAINT, 0, 0);
            window->painting = false;
            return !toToolkit;
        }
        if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            OpenSystemMenu(window, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
        return false;
    }
};

}  // namespace

QObject* Bridge() {
    static EventBridge* bridge = new EventBridge;
    return bridge;
}

bool DispatchEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (!window->object)
        return true;
    EventInProgress event{window, message, false, t_event};
    t_event = &event;
    const LRESULT value = Dispatch(window, message, wParam, lParam);
    t_event = event.outer;
    if (result)
        *result = value;
    return event.toToolkit;
}

bool MarkEventForToolkit(HWND window, UINT message) {
    if (!t_event || t_event->window != window || t_event->message != message)
        return false;
    t_event->toToolkit = true;
    return true;
}

}  // namespace platform

