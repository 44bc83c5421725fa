// Text colours that stay readable on whatever palette the desktop gives: a colour a control asks for
// is kept where it reads well, and otherwise drawn just light or dark enough, as a classic desktop's
// high-contrast mode treats a program's colours.
#pragma once

#include <QColor>

namespace platform {

// The contrast of two colours as WCAG defines it, from 1 (none) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// `wanted` where it reaches 4.5:1 on `background`; otherwise the same hue and saturation, lightened
// on a dark background or darkened on a light one, no further than it takes to reach 4.5:1.
QColor ReadableOn(const QColor& wanted, const QColor& background);

}  // namespace platform
