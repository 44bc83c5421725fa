// Qt events of registered widgets as messages. Only platform/ and tests see this.
#pragma once

#include "platform/wintypes.h"

class QObject;

namespace platform {

// The event filter that turns Qt events of every registered widget into messages.
QObject* Bridge();
// Dispatches a message that stands for a Qt event; true when Qt should process the event too.
bool DispatchEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);
// True while the message being handled on this thread stands for a Qt event of that window;
// default processing then means letting Qt have the event.
bool MarkEventForToolkit(HWND window, UINT message);

}  // namespace platform
