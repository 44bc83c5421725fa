#include "platform/qtwindow.h"

#include <QObject>

#include <vector>

#include "platform/qtgdi.h"

namespace platform {
namespace {

// A gone window's record is emptied but never freed: were its address handed out again, a stale
// handle would name a newer window. What stays costs about a hundred bytes a window.
void Retire(HWND window) {
    static auto* retired = new std::vector<HWND>;  // kept reachable to the end of the process
    window->widget = nullptr;
    window->object = nullptr;
    window->font = window->ownedFont = nullptr;
    std::string().swap(window->text);
    window->systemMenu.reset();
    retired->push_back(window);
}

void Forget(HWND window) {
    if (!RemoveLiveWindow(window))
        return;
    if (window->procedure)
        window->procedure(window, WM_NCDESTROY, 0, 0);
    delete window->ownedFont;  // a dialog's template font, when it has one
    Retire(window);
}

}  // namespace

HWND RegisterWindow(QWidget* widget, WindowKind kind, int id, DWORD style, HWND parent, WNDPROC procedure) {
    auto* window = new HWND__{widget, kind, id, style, parent, std::this_thread::get_id(), procedure};
    widget->setProperty("nomvara.hwnd", QVariant::fromValue(reinterpret_cast<quintptr>(window)));
    AddLiveWindow(window);
    QObject::connect(widget, &QObject::destroyed, [window] { Forget(window); });
    return window;
}

void DestroyWindow(HWND window) {
    if (!IsWindow(window))
        return;
    QWidget* widget = window->widget;
    Dispatch(window, WM_DESTROY, 0, 0);
    // Children first, so that every bound object is released before its parent's record goes.
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (HWND childWindow = WindowFromWidget(child))
            DestroyWindow(childWindow);
    Forget(window);
    delete widget;
}

HWND WindowFromWidget(const QObject* widget) {
    if (!widget)
        return nullptr;
    const QVariant value = widget->property("nomvara.hwnd");
    return value.isValid() ? reinterpret_cast<HWND>(value.value<quintptr>()) : nullptr;
}

QWidget* WidgetOf(HWND window) { return IsWindow(window) ? window->widget.data() : nullptr; }

}  // namespace platform
