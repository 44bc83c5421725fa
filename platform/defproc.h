// What a window does with a message when no table handles it: the control's ordinary behaviour.
#pragma once

#include "platform/wintypes.h"

namespace platform {

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform
