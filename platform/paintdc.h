// CPaintDC: the device context of a window's own WM_PAINT.
#pragma once

#include "platform/gdi.h"

class CWnd;

// Paints a window while it handles WM_PAINT; outside a paint it draws nothing.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
};
