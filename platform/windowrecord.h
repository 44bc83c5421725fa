// The record behind a window handle, as Qt draws the window. Only platform/ and tests see this.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <thread>

#include "platform/wintypes.h"

class CWnd;
class CMenu;

enum class WindowKind { Dialog, Button, GroupBox, Edit, MultiLineEdit, ListBox, Static };

// A window's menu, named in the framework's headers without the toolkit.
struct MenuPopup : QMenu {
    using QMenu::QMenu;
};

struct HWND__ {
    QPointer<QWidget> widget;
    WindowKind kind;
    int id;
    DWORD style;
    HWND parent;
    std::thread::id thread;
    WNDPROC procedure = nullptr;       // what every message to the window runs
    CWnd* object = nullptr;            // the bound window object, if any
    HFONT font = nullptr;              // what WM_GETFONT answers
    HFONT ownedFont = nullptr;         // a dialog's template font, deleted with the window
    std::string text{};                // a static's or button's text as set, line breaks included
    // A dialog's, made on first request; shared only so that whoever makes it supplies its deleter.
    std::shared_ptr<CMenu> systemMenu{};
    bool painting = false;             // its own WM_PAINT is being handled
    bool describedByStaticTexts = false;  // a dialog that tells screen readers its statics' texts as its description
};
