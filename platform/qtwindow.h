// How windows are drawn by Qt: the record behind a window handle. Only platform/ and tests see this.
#pragma once

#include <QFont>
#include <QMenu>
#include <QPainter>
#include <QIcon>
#include <QCursor>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <thread>

#include "platform/gdi.h"
#include "platform/wintypes.h"

class CWnd;
class CMenu;
struct DialogTemplate;

enum class WindowKind { Dialog, Button, GroupBox, Edit, MultiLineEdit, ListBox, Static };

// What the framework's headers name without the toolkit: a painter during WM_PAINT, a window's menu.
struct PaintSurface {
    explicit PaintSurface(QWidget* widget) : painter(widget) {}
    QPainter painter;
};
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
};

struct HFONT__ {
    LOGFONT description;
    QFont font;
};

struct HICON__ {
    QIcon icon;
    QPixmap pixmap;
    QCursor cursor;
    POINT hotSpot;
};

struct HBRUSH__ {
    bool hollow;
};

namespace platform {

// The object name of a list box's Copy action, which the list's own Ctrl+C triggers too.
inline constexpr char kCopyActionName[] = "nomvara.copy";

// Makes the record of a new widget, registers it and routes its events to messages.
HWND RegisterWindow(QWidget* widget, WindowKind kind, int id, DWORD style, HWND parent);
// Destroys a window and all its children: bound objects are released, waiting senders get 0.
void DestroyWindow(HWND window);
HWND WindowFromWidget(const QObject* widget);
// Builds a dialog's window and controls from its template, owned by `owner` if any; not yet shown.
HWND CreateDialogWindow(const DialogTemplate& dialogTemplate, HWND owner);
QWidget* WidgetOf(HWND window);
// How many sends from other threads wait to be handled on the windows' thread.
size_t QueuedSends();

// The event filter that turns Qt events of every registered widget into messages.
QObject* Bridge();

// Dispatches on the window's own thread: the bound object's tables, else default processing.
LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Dispatches a message that stands for a Qt event; true when Qt should process the event too.
bool DispatchEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);
// True while the message being handled on this thread stands for a Qt event of that window;
// default processing then means letting Qt have the event.
bool MarkEventForToolkit(HWND window, UINT message);
// What a window does with a message when no table handles it.
LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

QString FromLocal8Bit(const char* text);
std::string ToLocal8Bit(const QString& text);
QColor ToQColor(COLORREF color);
QPixmap LoadBitmapPixmap(UINT id);

}  // namespace platform
