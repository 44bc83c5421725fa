// Text colours that stay readable on whatever palette the desktop gives: a colour a control asks for
// is kept where it reads well, and otherwise drawn just light or dark enough, as a classic desktop's
// high-contrast mode treats a program's colours.
#pragma once

#include <QColor>
#include <QPalette>

namespace platform {

// The contrast of two colours as WCAG defines it, from 1 (none) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// `wanted` where it reaches 5.5:1 on `background`; otherwise the same hue and saturation, lightened on
// a dark background or darkened on a light one, no further than it takes to reach it. Every text aims
// there, links included, above the 4.5:1 that people need: styles draw text antialiased and may tint
// a focused line, so what reaches the screen falls a little short of the colours asked for.
QColor ReadableOn(const QColor& wanted, const QColor& background);

// The palette with every text colour readable on what it is drawn on, in active and inactive windows
// alike (disabled text is left as it is): the selection's background gives way rather than its text,
// so a selected line keeps its light text on a deeper colour. A readable palette comes back the same.
QPalette ReadablePalette(QPalette palette);

}  // namespace platform
