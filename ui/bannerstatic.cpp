#include "ui/bannerstatic.h"

#include "platform/gdi.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "ui/links.h"
#include "ui/resource.h"

BEGIN_MESSAGE_MAP(CBannerStatic, CStatic)
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CBannerStatic::CBannerStatic() : m_hCursor(LoadCursor(AfxGetInstanceHandle(), IDC_HAND_CURSOR)) {
    SetUrl(HOME_BANNER_URL);
}

BOOL CBannerStatic::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (m_hCursor) {
        SetCursor(m_hCursor);
        return TRUE;
    }
    return CStatic::OnSetCursor(window, hitTest, message);
}

void CBannerStatic::OnLButtonDown(UINT flags, POINT point) {
    if (m_url.IsEmpty())
        m_url = GetWindowText();
    ShellExecute(nullptr, "open", m_url, nullptr, nullptr, SW_SHOWNORMAL);
    CStatic::OnLButtonDown(flags, point);
}
