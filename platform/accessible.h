// What assistive technology (over AT-SPI) may do with a window besides reading it, and what it is told.
#pragma once

#include "platform/wintypes.h"

namespace platform {

// From now on screen readers see the framework's windows as its own: every static that takes mouse
// clicks (its hit test answers HTCLIENT: a link label, a notifying picture) is a link, with a "press"
// action that does exactly what a click does, and stays out of the Tab order; other statics stay plain
// text; dialogs may be described by their statics (DescribeByStaticTexts); and the application has
// its notification (Announce). Safe to call again.
void ShowWindowsToAssistiveTechnology();

// Tells screen readers `text` now, without moving the focus, when `window`'s dialog has the focus,
// and nothing otherwise: through Qt's announcement where Qt has one (6.8 on), else through the
// application's notification, which shows with it and stays in its accessible tree, holding it,
// until the next call. An empty text only takes the notification away. Nothing shows on the screen.
void Announce(HWND window, const char* text);

// From now on screen readers are told the texts of the dialog's statics, in template order, as it
// opens: for a box of short lines and links. Where Qt has announcements (6.8 on) they are announced
// each time the dialog becomes active; before, they are its description.
void DescribeByStaticTexts(HWND dialog);

}  // namespace platform
