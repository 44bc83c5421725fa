#include "platform/wnd.h"

#include <QCursor>
#include <QToolTip>
#include <QWidget>

#include <tuple>
#include <vector>

#include "platform/accessible.h"
#include "platform/defproc.h"
#include "platform/menu.h"
#include "platform/qtconvert.h"
#include "platform/qtwindow.h"

namespace {

std::span<const MessageEntry> NoEntries() { return {}; }

// The procedure of a window with a bound object: the object's WindowProc while it is bound.
LRESULT BoundObjectProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = window->object;
    if (!object)
        return platform::DefaultWindowProc(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        object->m_hWnd = nullptr;
        window->object = nullptr;
        return 0;
    }
    return object->WindowProc(message, wParam, lParam);
}

}  // namespace

const MessageMap CCmdTarget::messageMap{nullptr, &NoEntries};

BOOL CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const MessageEntry& entry : map->entries()) {
            if (entry.message != message)
                continue;
            if (message == WM_COMMAND && (entry.id != LOWORD(wParam) || entry.code != HIWORD(wParam)))
                continue;
            *result = entry.handler(*this, wParam, lParam);
            return TRUE;
        }
    }
    return FALSE;
}

CWnd::~CWnd() {
    if (IsWindow(m_hWnd) && m_hWnd->object == this)
        m_hWnd->object = nullptr;
}

BOOL CWnd::Attach(HWND window) {
    if (m_hWnd || !IsWindow(window) || window->object)
        return FALSE;
    m_hWnd = window;
    window->object = this;
    window->procedure = &BoundObjectProc;
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!Attach(window))
        return FALSE;
    PreSubclassWindow();
    return TRUE;
}

HWND CWnd::GetDlgItem(int id) const {
    QWidget* widget = platform::WidgetOf(m_hWnd);
    if (!widget)
        return nullptr;
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        HWND window = platform::WindowFromWidget(child);
        if (window && window->id == id)
            return window;
    }
    return nullptr;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const char* text) { SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

void CWnd::SetDescription(const char* text) {
    QWidget* widget = platform::WidgetOf(m_hWnd);
    if (!widget)
        return;
    const QString description = platform::FromLocal8Bit(text);
    // Qt takes a tooltip that looks like markup for rich text: escaped inside a paragraph of its own,
    // whatever was typed shows as typed.
    const QString tip = description.isEmpty() ? QString() : "<p style='white-space:pre'>" + description.toHtmlEscaped() + "</p>";
    const bool showing = QToolTip::isVisible() && !widget->toolTip().isEmpty() && QToolTip::text() == widget->toolTip();
    widget->setToolTip(tip);
    widget->setAccessibleDescription(description);
    if (showing && tip.isEmpty())
        QToolTip::hideText();
    else if (showing)
        QToolTip::showText(QCursor::pos(), tip, widget);
}

void CWnd::Announce(const char* text) { platform::Announce(m_hWnd, text); }

void CWnd::SetAccessibleName(const char* text) {
    if (QWidget* widget = platform::WidgetOf(m_hWnd))
        widget->setAccessibleName(platform::FromLocal8Bit(text));
}

int CWnd::GetWindowText(char* buffer, int maxCount) const {
    if (maxCount > 0)
        buffer[0] = '\0';
    return static_cast<int>(SendMessage(WM_GETTEXT, WPARAM(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

CString CWnd::GetWindowText() const {
    std::vector<char> buffer(static_cast<size_t>(SendMessage(WM_GETTEXTLENGTH)) + 1);
    const int length = GetWindowText(buffer.data(), static_cast<int>(buffer.size()));
    return CString(std::string_view(buffer.data(), static_cast<size_t>(length)));
}

CMenu* CWnd::GetSystemMenu(BOOL /*revert*/) const {
    if (!IsWindow(m_hWnd) || m_hWnd->kind != WindowKind::Dialog)
        return nullptr;
    if (!m_hWnd->systemMenu)
        m_hWnd->systemMenu = CMenu::MakeSystemMenu(m_hWnd);
    return m_hWnd->systemMenu.get();
}

BOOL CWnd::IsIconic() const {
    QWidget* widget = platform::WidgetOf(m_hWnd);
    return widget && widget->isMinimized() ? TRUE : FALSE;
}

void CWnd::GetClientRect(RECT* rect) const {
    QWidget* widget = platform::WidgetOf(m_hWnd);
    *rect = RECT{0, 0, widget ? widget->width() : 0, widget ? widget->height() : 0};
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto outer = std::tuple(m_currentMessage, m_currentWParam, m_currentLParam);
    std::tie(m_currentMessage, m_currentWParam, m_currentLParam) = std::tuple(message, wParam, lParam);
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    std::tie(m_currentMessage, m_currentWParam, m_currentLParam) = outer;
    return result;
}

LRESULT CWnd::Default() { return DefWindowProc(m_currentMessage, m_currentWParam, m_currentLParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::DefaultWindowProc(m_hWnd, message, wParam, lParam);
}

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
    if (!control.m_hWnd)
        control.SubclassWindow(exchange->m_pDlgWnd->GetDlgItem(id));
}

void DDX_Text(CDataExchange* exchange, int id, CString& value) {
    HWND window = exchange->m_pDlgWnd->GetDlgItem(id);
    if (!window)
        return;
    CWnd proxy;
    proxy.m_hWnd = window;
    if (exchange->m_bSaveAndValidate) {
        value = proxy.GetWindowText();
    } else if (!(proxy.GetWindowText() == value)) {
        proxy.SetWindowText(value);
    }
    proxy.m_hWnd = nullptr;
}
