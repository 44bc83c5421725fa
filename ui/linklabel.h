// CLinkLabel: a static text drawn as a blue underlined web link that opens its address when clicked.
#pragma once

#include "platform/controls.h"
#include "platform/gdi.h"
#include "ui/clicktoopen.h"

class CLinkLabel : public CStatic {
public:
    CLinkLabel();
    ~CLinkLabel() override = default;

    void SetUrl(const char* url) { m_link.SetUrl(url); }

protected:
    // Makes the underlined copy of the control's own font when the label is bound.
    void PreSubclassWindow() override;
    HBRUSH CtlColor(CDC* dc, UINT controlType);
    LRESULT OnNcHitTest(POINT point);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, POINT point);

    DECLARE_MESSAGE_MAP()

    COLORREF m_textColor;
    ClickToOpen m_link;  // the hand cursor and the address
    CFont m_underlineFont;
};
