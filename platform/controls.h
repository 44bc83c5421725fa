// Window objects for the standard controls a template creates.
#pragma once

#include "platform/wnd.h"

class CStatic : public CWnd {};

class CEdit : public CWnd {};

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int DeleteString(int index) { return static_cast<int>(SendMessage(LB_DELETESTRING, WPARAM(index))); }
    // In a sorted list box the line goes to its place in case-insensitive order; returns its index.
    int AddString(const char* line) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line))); }
};
