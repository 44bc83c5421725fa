// Fonts, device contexts, icons and cursors of the dialog framework.
#pragma once

#include "platform/wintypes.h"

struct PaintSurface;  // where WM_PAINT's drawing goes; the platform's own


constexpr LONG FW_NORMAL = 400;

HFONT CreateFontIndirect(const LOGFONT* description);
// Copies the font's description into `out` when `size` is sizeof(LOGFONT); returns the bytes copied.
int GetObject(HFONT font, int size, void* out);
BOOL DeleteObject(HFONT font);
HBRUSH GetStockObject(int which);

// A font that the object owns and deletes.
class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    BOOL CreateFontIndirect(const LOGFONT* description);
    BOOL DeleteObject();
    HFONT GetSafeHandle() const { return m_hObject; }
    operator HFONT() const { return m_hObject; }

private:
    HFONT m_hObject = nullptr;
};

// A device context: the colours a control is drawn with, and where painting goes during WM_PAINT.
class CDC {
public:
    CDC() = default;

    COLORREF SetTextColor(COLORREF color);
    int SetBkMode(int mode);
    COLORREF GetTextColor() const { return m_textColor; }
    int GetBkMode() const { return m_bkMode; }
    BOOL DrawIcon(int x, int y, HICON icon);
    HDC GetSafeHdc() { return this; }

protected:
    PaintSurface* m_surface = nullptr;

private:
    COLORREF m_textColor = 0;
    int m_bkMode = OPAQUE;
};

int GetSystemMetrics(int index);
HCURSOR SetCursor(HCURSOR cursor);
// The cursor last made current on this thread.
HCURSOR GetCursor();
