// Dialog templates as data, in dialog units, reading like a resource script.
#pragma once

#include <span>

#include "platform/wintypes.h"

enum class ControlClass { Button, Edit, Static, ListBox };

struct DialogControl {
    int id;  // -1 for none
    ControlClass kind;
    const char* text;
    UINT image;  // icon or bitmap resource of an SS_ICON or SS_BITMAP static, else 0
    short x, y, cx, cy;
    DWORD style;  // besides WS_CHILD and WS_VISIBLE
};

struct DialogTemplate {
    const char* caption;
    const char* fontFace;
    int pointSize;
    LONG weight;
    bool italic;
    BYTE charSet;
    short x, y, cx, cy;
    DWORD style;
    std::span<const DialogControl> controls;
};

// Dialog units to pixels from the dialog font's average character width and height.
constexpr int DialogUnitsToPixelsX(int units, int averageWidth) { return units * averageWidth / 4; }
constexpr int DialogUnitsToPixelsY(int units, int fontHeight) { return units * fontHeight / 8; }
