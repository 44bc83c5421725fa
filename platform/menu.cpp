#include "platform/menu.h"

#include <QAction>
#include <QMenu>

#include "platform/readability.h"
#include "platform/qtconvert.h"
#include "platform/qtwindow.h"

CMenu::CMenu(HWND window) : m_window(window), m_menu(new MenuPopup(window->widget)) { platform::KeepReadable(m_menu); }

CMenu::~CMenu() = default;

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    if (flags & MF_SEPARATOR) {
        m_menu->addSeparator();
        return TRUE;
    }
    QAction* action = m_menu->addAction(platform::FromLocal8Bit(text ? text : ""));
    // The action goes with the window's widget, so a live window gets it, on its own thread.
    QObject::connect(action, &QAction::triggered, [window = m_window, id] { platform::Dispatch(window, WM_SYSCOMMAND, id, 0); });
    return TRUE;
}

std::unique_ptr<CMenu> CMenu::MakeSystemMenu(HWND window) {
    std::unique_ptr<CMenu> menu(new CMenu(window));
    menu->AppendMenu(MF_STRING, SC_RESTORE, "&Restore");
    menu->AppendMenu(MF_STRING, SC_MOVE, "&Move");
    if (window->style & WS_MINIMIZEBOX)
        menu->AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, SC_CLOSE, "&Close");
    return menu;
}
