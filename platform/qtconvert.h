// Text, colours and pictures between the framework's forms and Qt's. Only platform/ and tests see this.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

#include <string>

#include "platform/wintypes.h"

namespace platform {

// The program's 8-bit text is in the locale's character set.
QString FromLocal8Bit(const char* text);
std::string ToLocal8Bit(const QString& text);
QColor ToQColor(COLORREF color);
// A bitmap resource as a pixmap: its 2x drawing on screens of twice the density, where it has one.
QPixmap LoadBitmapPixmap(UINT id);

}  // namespace platform
