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
    // The line at `index`; empty when there is none.
    CString GetText(int index) const {
        const LRESULT length = SendMessage(LB_GETTEXTLEN, WPARAM(index));
        if (length == LB_ERR)
            return {};
        std::string line(std::size_t(length), '\0');
        SendMessage(LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(line.data()));
        return CString(std::move(line));
    }
};
