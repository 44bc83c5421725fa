#include "platform/paintdc.h"

#include "platform/qtgdi.h"
#include "platform/windowrecord.h"
#include "platform/wnd.h"

CPaintDC::CPaintDC(CWnd* window) {
    if (window->m_hWnd && window->m_hWnd->painting)
        m_surface = new PaintSurface(window->m_hWnd->widget);
}

CPaintDC::~CPaintDC() { delete m_surface; }
