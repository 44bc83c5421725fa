// CLinkLabel: a static text drawn as a blue underlined web link that opens its address when clicked.
#pragma once

#include "platform/controls.h"
#include "platform/gdi.h"

class CLinkLabel : public CStatic {
public:
    CLinkLabel();
    ~CLinkLabel() override = default;

    void SetUrl(const char* url) { m_url = url; }

protected:
    // Makes the underlined copy of the control's own font when the label is bound.
    void PreSubclassWindow() override;
    HBRUSH CtlColor(CDC* dc, UINT controlType);
    LRESULT OnNcHitTest(POINT point);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, POINT point);

    DECLARE_MESSAGE_MAP()

    COLORREF m_textColor;
    HCURSOR m_hCursor;
    CString m_url;
    CFont m_underlineFont;
};
