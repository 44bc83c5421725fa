// Keeps a fixed-size dialog alive when it is told to maximize.
#pragma once

class QWidget;

// Where the window system is Wayland, a title bar that Qt draws itself (weston, GNOME) offers
// maximize even on a fixed-size window, and the compositor ends any client whose maximized window
// does not take the size it was given. So `dialog` gives up its fixed size while a maximize is
// granted, asks at once to be restored, and takes its size back once restored. Elsewhere the
// window manager honours the fixed size itself, and nothing is done.
void KeepFixedSizeWhenMaximized(QWidget* dialog);
