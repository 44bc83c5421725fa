#include "ui/bannerstatic.h"

#include "ui/links.h"

BEGIN_MESSAGE_MAP(CBannerStatic, CStatic)
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CBannerStatic::CBannerStatic() : m_link(HOME_BANNER_URL) {}

BOOL CBannerStatic::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    return m_link.ShowHand() ? TRUE : CStatic::OnSetCursor(window, hitTest, message);
}

void CBannerStatic::OnLButtonDown(UINT flags, POINT point) {
    m_link.Follow(*this);
    CStatic::OnLButtonDown(flags, point);
}
