#include "platform/gdi.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

#include "platform/qtgdi.h"
#include "platform/qtwindow.h"

namespace {

QFont FontFromDescription(const LOGFONT& description) {
    QFont font(QString::fromLocal8Bit(description.lfFaceName,
                                      static_cast<qsizetype>(strnlen(description.lfFaceName, sizeof description.lfFaceName))));
    const int height = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
    font.setPixelSize(height > 0 ? height : 11);
    font.setWeight(static_cast<QFont::Weight>(std::clamp<LONG>(description.lfWeight ? description.lfWeight : FW_NORMAL, 1, 1000)));
    font.setItalic(description.lfItalic != 0);
    font.setUnderline(description.lfUnderline != 0);
    font.setStrikeOut(description.lfStrikeOut != 0);
    return font;
}

thread_local HCURSOR t_currentCursor = nullptr;

}  // namespace

HFONT CreateFontIndirect(const LOGFONT* description) {
    return description ? new HFONT__{*description, FontFromDescription(*description)} : nullptr;
}

int GetObject(HFONT font, int size, void* out) {
    if (!font || !out || size != static_cast<int>(sizeof(LOGFONT)))
        return 0;
    std::memcpy(out, &font->description, sizeof(LOGFONT));
    return sizeof(LOGFONT);
}

BOOL DeleteObject(HFONT font) {
    delete font;
    return font ? TRUE : FALSE;
}

HBRUSH GetStockObject(int which) {
    static HBRUSH__ hollowBrush{true};
    return which == NULL_BRUSH ? &hollowBrush : nullptr;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* description) {
    DeleteObject();
    m_hObject = ::CreateFontIndirect(description);
    return m_hObject ? TRUE : FALSE;
}

BOOL CFont::DeleteObject() {
    const BOOL had = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return had;
}

COLORREF CDC::SetTextColor(COLORREF color) { return std::exchange(m_textColor, color); }

int CDC::SetBkMode(int mode) { return std::exchange(m_bkMode, mode); }

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
    if (!m_surface || !icon)
        return FALSE;
    m_surface->painter.drawPixmap(x, y, icon->pixmap);
    return TRUE;
}

int GetSystemMetrics(int index) { return index == SM_CXICON || index == SM_CYICON ? 32 : 0; }

HCURSOR SetCursor(HCURSOR cursor) { return std::exchange(t_currentCursor, cursor); }

HCURSOR GetCursor() { return t_currentCursor; }
