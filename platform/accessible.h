// What assistive technology (over AT-SPI) may do with a window besides reading it, and what it is told.
#pragma once

#include "platform/wintypes.h"

namespace platform {

// From now on, every static that takes mouse clicks (its hit test answers HTCLIENT: a link label,
// a notifying picture) is a link to screen readers, with a "press" action that does exactly what a
// click does; it stays out of the Tab order. Other statics stay plain text. Safe to call again.
void OfferClickActionsToAssistiveTechnology();

// Tells screen readers `text` now, without moving the focus, when `window`'s dialog has the focus:
// the application's notification shows with it and stays in its accessible tree, holding it, until
// the next call. An empty text only takes the notification away. Nothing shows on the screen.
void Announce(HWND window, const char* text);

// From now on screen readers are told the texts of the dialog's statics, in template order, as the
// dialog's description, which they read when it opens: for a box of short lines and links.
void DescribeByStaticTexts(HWND dialog);

}  // namespace platform
