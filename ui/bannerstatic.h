// CBannerStatic: the banner picture; a click anywhere on it opens the maker's home page.
#pragma once

#include "platform/controls.h"

class CBannerStatic : public CStatic {
public:
    CBannerStatic();
    ~CBannerStatic() override = default;

    void SetUrl(const char* url) { m_url = url; }

protected:
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, POINT point);

    DECLARE_MESSAGE_MAP()

    HCURSOR m_hCursor;
    CString m_url;
};
