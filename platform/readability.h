// Every window the program shows draws its text readable on whatever palette the desktop gives.
// Only platform/ and tests see this.
#pragma once

class QWidget;

namespace platform {

// From its first showing on, `widget` takes the readable form of the application's palette for its
// kind, made anew when the desktop's palette or the style changes and never while it paints. A
// static takes the colours its dialog answers WM_CTLCOLORSTATIC with at those same moments. Tooltips
// follow the palettes too.
void KeepReadable(QWidget* widget);

}  // namespace platform
