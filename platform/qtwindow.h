// How windows are drawn by Qt: the record behind a window handle. Only platform/ and tests see this.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <thread>

#include "platform/wintypes.h"

class CWnd;
class CMenu;

enum class WindowKind { Dialog, Button, GroupBox, Edit, MultiLineEdit, ListBox, Static };

// A window's menu, named in the framework's headers without the toolkit.
struct MenuPopup : QMenu {
    using QMenu::QMenu;
};

struct HWND__ {
    QPointer<QWidget> widget;
    WindowKind kind;
    int id;
    DWORD style;
    HWND parent;
    std::thread::id thread;
    CWnd* object = nullptr;            // the bound window object, if any
    HFONT font = nullptr;              // what WM_GETFONT answers
    HFONT ownedFont = nullptr;         // a dialog's template font, deleted with the window
    std::string text{};                // a static's or button's text as set, line breaks included
    std::unique_ptr<CMenu> systemMenu{}; // a dialog's, made on first request
    bool painting = false;             // its own WM_PAINT is being handled
};

namespace platform {

// The object name of a list box's Copy action, which the list's own Ctrl+C triggers too.
inline constexpr char kCopyActionName[] = "nomvara.copy";

// Makes the record of a new widget, registers it and routes its events to messages.
HWND RegisterWindow(QWidget* widget, WindowKind kind, int id, DWORD style, HWND parent);
// Destroys a window and all its children: bound objects are released, waiting senders get 0.
void DestroyWindow(HWND window);
HWND WindowFromWidget(const QObject* widget);
QWidget* WidgetOf(HWND window);
// How many sends from other threads wait to be handled on the windows' thread.
size_t QueuedSends();

// Dispatches on the window's own thread: the bound object's tables, else default processing.
LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);


}  // namespace platform
