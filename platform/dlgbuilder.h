// Dialogs from their templates.
#pragma once

#include "platform/wintypes.h"

struct DialogTemplate;

namespace platform {

// Builds a dialog's window and controls from its template, owned by `owner` if any; not yet shown.
HWND CreateDialogWindow(const DialogTemplate& dialogTemplate, HWND owner);

}  // namespace platform
