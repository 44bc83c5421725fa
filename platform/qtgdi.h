// How GDI objects are drawn by Qt: the records behind font, icon and brush handles, and the painter
// of a WM_PAINT. Only platform/ and tests see this.
#pragma once

#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "platform/wintypes.h"

struct PaintSurface {
    explicit PaintSurface(QWidget* widget) : painter(widget) {}
    QPainter painter;
};

struct HFONT__ {
    LOGFONT description;
    QFont font;
};

struct HICON__ {
    QIcon icon;
    QPixmap pixmap;
    QCursor cursor;
    POINT hotSpot;
};

struct HBRUSH__ {
    bool hollow;
};
