// What the link labels and the banner share: the hand over them, and a click that opens their address.
#pragma once

#include "platform/cstring.h"
#include "platform/wintypes.h"

class CWnd;

class ClickToOpen {
public:
    explicit ClickToOpen(const char* url);

    void SetUrl(const char* url) { m_url = url; }
    // Shows the hand cursor; FALSE when it could not be loaded, for default processing to run.
    BOOL ShowHand() const;
    // Opens the address in the browser; an empty one is first taken from the control's text, and kept.
    void Follow(const CWnd& control);

private:
    HCURSOR m_hCursor;  // never destroyed: the program's own resource
    CString m_url;
};
