// Windows as Qt widgets: a widget's record made and ended with it. Only platform/ and tests see this.
#pragma once

#include "platform/windowrecord.h"
#include "platform/windowregistry.h"

namespace platform {

// The object name of a list box's Copy action, which the list's own Ctrl+C triggers too.
inline constexpr char kCopyActionName[] = "nomvara.copy";

// Makes the live record of a new widget, whose messages run `procedure`; the record ends with the widget.
HWND RegisterWindow(QWidget* widget, WindowKind kind, int id, DWORD style, HWND parent, WNDPROC procedure);
// Destroys a window and all its children: bound objects are released, waiting senders get 0.
void DestroyWindow(HWND window);
HWND WindowFromWidget(const QObject* widget);
QWidget* WidgetOf(HWND window);

}  // namespace platform
