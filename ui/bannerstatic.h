// CBannerStatic: the banner picture; a click anywhere on it opens the maker's home page.
#pragma once

#include "platform/controls.h"
#include "ui/clicktoopen.h"

class CBannerStatic : public CStatic {
public:
    CBannerStatic();
    ~CBannerStatic() override = default;

    void SetUrl(const char* url) { m_link.SetUrl(url); }

protected:
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, POINT point);

    DECLARE_MESSAGE_MAP()

    ClickToOpen m_link;  // the hand cursor and the address
};
