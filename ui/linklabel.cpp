#include "ui/linklabel.h"

#include "ui/links.h"

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_NCHITTEST()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CLinkLabel::CLinkLabel() : m_textColor(RGB(0, 0, 255)), m_link(HOME_LINK_URL) {}

void CLinkLabel::PreSubclassWindow() {
    const auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONT description{};
    if (GetObject(font, sizeof description, &description) == sizeof description) {
        description.lfUnderline = 1;
        m_underlineFont.CreateFontIndirect(&description);
    }
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_underlineFont.GetSafeHandle()), 1);
    CStatic::PreSubclassWindow();
}

HBRUSH CLinkLabel::CtlColor(CDC* dc, UINT) {
    dc->SetTextColor(m_textColor);
    dc->SetBkMode(TRANSPARENT);
    return GetStockObject(NULL_BRUSH);
}

// The whole rectangle, blank part included, takes the pointer and the click.
LRESULT CLinkLabel::OnNcHitTest(POINT) { return HTCLIENT; }

BOOL CLinkLabel::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    return m_link.ShowHand() ? TRUE : CStatic::OnSetCursor(window, hitTest, message);
}

void CLinkLabel::OnLButtonDown(UINT flags, POINT point) {
    m_link.Follow(*this);
    CStatic::OnLButtonDown(flags, point);
}
