// CMenu: a window's system menu. A choice sends WM_SYSCOMMAND with the item's id to the window.
#pragma once

#include <memory>

#include "platform/wintypes.h"

struct MenuPopup;  // the toolkit's menu; the platform's own

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;

class CMenu {
public:
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);

    // The standard commands a dialog's styles allow: Restore, Move, Minimize, Close.
    static std::unique_ptr<CMenu> MakeSystemMenu(HWND window);
    MenuPopup* Popup() const { return m_menu; }

private:
    explicit CMenu(HWND window);
    HWND m_window;
    MenuPopup* m_menu;  // a child of the window's widget, and goes with it
};
