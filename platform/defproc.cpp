#include "platform/defproc.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <ranges>

#include "platform/events.h"
#include "platform/qtconvert.h"
#include "platform/qtgdi.h"
#include "platform/text.h"
#include "platform/windowrecord.h"
#include "platform/windowregistry.h"

namespace platform {
namespace {

// Multi-line edits hold CR LF line breaks, as the program writes them; Qt shows plain line feeds.
QString ToDisplayed(const std::string& text) {
    QString shown = FromLocal8Bit(text.c_str());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

std::string Text(HWND window) {
    QWidget* widget = window->widget;
    switch (window->kind) {
    case WindowKind::Edit: return ToLocal8Bit(static_cast<QLineEdit*>(widget)->text());
    case WindowKind::MultiLineEdit: {
        QString text = static_cast<QPlainTextEdit*>(widget)->toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        return ToLocal8Bit(text);
    }
    case WindowKind::Dialog: return ToLocal8Bit(widget->windowTitle());
    default: return window->text;
    }
}

void SetText(HWND window, const char* text) {
    QWidget* widget = window->widget;
    window->text = text ? text : "";
    switch (window->kind) {
    case WindowKind::Edit: static_cast<QLineEdit*>(widget)->setText(FromLocal8Bit(window->text.c_str())); break;
    case WindowKind::MultiLineEdit: static_cast<QPlainTextEdit*>(widget)->setPlainText(ToDisplayed(window->text)); break;
    case WindowKind::Static: static_cast<QLabel*>(widget)->setText(ToDisplayed(window->text)); break;
    case WindowKind::Button: static_cast<QPushButton*>(widget)->setText(FromLocal8Bit(window->text.c_str())); break;
    case WindowKind::GroupBox: static_cast<QGroupBox*>(widget)->setTitle(FromLocal8Bit(window->text.c_str())); break;
    case WindowKind::Dialog: widget->setWindowTitle(FromLocal8Bit(window->text.c_str())); break;
    case WindowKind::ListBox: break;
    }
}

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer) {
    if (!buffer || size == 0)
        return 0;
    const size_t length = FittingLength(text, size);
    std::memcpy(reinterpret_cast<char*>(buffer), text.data(), length);
    reinterpret_cast<char*>(buffer)[length] = '\0';
    return LRESULT(length);
}

// A sorted list box keeps its lines in ascending order, ignoring case; a new line goes after its equals.
LRESULT ListBoxProc(QListWidget* list, DWORD style, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case LB_GETCOUNT: return list->count();
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
        if (int(wParam) < 0 || int(wParam) >= list->count())
            return LB_ERR;
        const std::string line = ToLocal8Bit(list->item(int(wParam))->text());
        if (message == LB_GETTEXT)  // the caller's buffer holds LB_GETTEXTLEN bytes and a NUL
            std::memcpy(reinterpret_cast<char*>(lParam), line.c_str(), line.size() + 1);
        return LRESULT(line.size());
    }
    case LB_DELETESTRING:
        if (int(wParam) < 0 || int(wParam) >= list->count())
            return LB_ERR;
        delete list->takeItem(int(wParam));
        return list->count();
    case LB_ADDSTRING: {
        const QString line = FromLocal8Bit(reinterpret_cast<const char*>(lParam));
        const auto before = [&](int row) { return QString::compare(list->item(row)->text(), line, Qt::CaseInsensitive) <= 0; };
        int at = list->count();
        if (style & LBS_SORT)
            at = *std::ranges::partition_point(std::views::iota(0, at), before);
        list->insertItem(at, line);
        return at;
    }
    default: return 0;
    }
}

LRESULT SysCommand(HWND window, UINT command) {
    QWidget* widget = window->widget;
    switch (command & 0xFFF0) {
    case SC_MINIMIZE: widget->showMinimized(); break;
    case SC_RESTORE: widget->showNormal(); break;
    case SC_MOVE:
        if (QWindow* handle = widget->windowHandle())
            handle->startSystemMove();
        break;
    case SC_CLOSE: ::SendMessage(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); break;
    default: break;
    }
    return 0;
}

}  // namespace

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window) || MarkEventForToolkit(window, message))
        return 0;
    switch (message) {
    case WM_SETTEXT: SetText(window, reinterpret_cast<const char*>(lParam)); return TRUE;
    case WM_GETTEXT: return CopyText(Text(window), wParam, lParam);
    case WM_GETTEXTLENGTH: return LRESULT(Text(window).size());
    case WM_GETFONT: return reinterpret_cast<LRESULT>(window->font);
    case WM_SETFONT:
        window->font = reinterpret_cast<HFONT>(wParam);
        window->widget->setFont(window->font ? window->font->font : QFont());
        return 0;
    case WM_SETICON:
        if (auto icon = reinterpret_cast<HICON>(lParam))
            window->widget->setWindowIcon(icon->icon);
        return 0;
    case WM_NCHITTEST:
        return window->kind == WindowKind::Static && !(window->style & SS_NOTIFY) ? HTTRANSPARENT : HTCLIENT;
    case WM_CTLCOLORSTATIC: {
        // Reflect the request to the control's own object; its non-null brush answers for the dialog.
        auto control = reinterpret_cast<HWND>(lParam);
        return IsWindow(control) ? Dispatch(control, WM_REFLECT_BASE + WM_CTLCOLOR, wParam, CTLCOLOR_STATIC) : 0;
    }
    case WM_SYSCOMMAND: return SysCommand(window, UINT(wParam));
    default: break;
    }
    if (window->kind == WindowKind::ListBox)
        return ListBoxProc(static_cast<QListWidget*>(window->widget.data()), window->style, message, wParam, lParam);
    return 0;
}

}  // namespace platform
