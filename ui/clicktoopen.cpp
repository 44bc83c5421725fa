#include "ui/clicktoopen.h"

#include "platform/gdi.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "platform/wnd.h"
#include "ui/resourceids.h"

ClickToOpen::ClickToOpen(const char* url) : m_hCursor(LoadCursor(AfxGetInstanceHandle(), IDC_HAND_CURSOR)), m_url(url) {}

BOOL ClickToOpen::ShowHand() const {
    if (!m_hCursor)
        return FALSE;
    SetCursor(m_hCursor);
    return TRUE;
}

void ClickToOpen::Follow(const CWnd& control) {
    if (m_url.IsEmpty())
        m_url = control.GetWindowText();
    ShellExecute(nullptr, "open", m_url, nullptr, nullptr, SW_SHOWNORMAL);
}
