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

// Tells screen readers `text` now, without moving the focus, when `window`'s dialog has the focus:
// the application's notification shows with it and stays in its accessible tree, holding it, until
// the next call. An empty text only takes the notification away. Nothing shows on the screen.
void Announce(HWND window, const char* text);

// From now on screen readers are told the texts of the dialog's statics, in template order, as the
// dialog's description, which they read when it opens: for a box of short lines and links.
void DescribeByStaticTexts(HWND dialog);

}  // namespace platform
