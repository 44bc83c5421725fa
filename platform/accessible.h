// What assistive technology (over AT-SPI) may do with a window besides reading it.
#pragma once

namespace platform {

// From now on, every static that takes mouse clicks (its hit test answers HTCLIENT: a link label,
// a notifying picture) is a link to screen readers, with a "press" action that does exactly what a
// click does; it stays out of the Tab order. Other statics stay plain text. Safe to call again.
void OfferClickActionsToAssistiveTechnology();

}  // namespace platform
