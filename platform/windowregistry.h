// The registry of live windows and the messages sent to them, from any thread.
#pragma once

#include "platform/wintypes.h"

// Sends a message to a window from any thread. On another thread it blocks until the window's
// thread has run the handler, also inside a nested modal loop; a window that is gone gives 0.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL IsWindow(HWND window);

namespace platform {

// Runs a message through the window's procedure on the calling thread, the window's own; a window
// that is gone gives 0.
LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Makes a window live; messages sent to it from other threads then run on the calling thread.
void AddLiveWindow(HWND window);
// Ends a window's life in the registry and gives its waiting senders 0; false when it was not live.
bool RemoveLiveWindow(HWND window);

}  // namespace platform
