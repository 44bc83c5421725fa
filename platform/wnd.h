// CCmdTarget and CWnd: objects bound to windows, with message tables.
#pragma once

#include "platform/cstring.h"
#include "platform/msgmap.h"
#include "platform/windowregistry.h"
#include "platform/wintypes.h"

class CDataExchange;
class CMenu;

// Anything with a message table.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const MessageMap* GetMessageMap() const { return &messageMap; }
    static const MessageMap messageMap;

    // Runs the first matching entry of this object's tables; FALSE when no table has one.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

// A window object: a handle bound to a window that a template created. It is not the window itself.
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Binds this object to an existing window, whose messages then go through WindowProc; FALSE when
    // either is bound already.
    BOOL Attach(HWND window);
    // Attach, then PreSubclassWindow.
    BOOL SubclassWindow(HWND window);
    HWND GetDlgItem(int id) const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetWindowText(const char* text);
    // Copies at most maxCount-1 bytes and a NUL, never half a character; returns the bytes copied.
    int GetWindowText(char* buffer, int maxCount) const;
    CString GetWindowText() const;
    // One sentence that screen readers say of the window after its name; also its tooltip, which
    // changes on the screen too when it is showing. Shown as text, never read as markup.
    void SetDescription(const char* text);
    // What screen readers call a window that shows no text of its own, such as a picture.
    void SetAccessibleName(const char* text);
    // Tells screen readers the text now, without moving the focus, when this window's dialog has the
    // focus; it stays in the application's accessible tree until the next call. An empty text takes it away.
    void Announce(const char* text);
    CMenu* GetSystemMenu(BOOL revert) const;
    BOOL IsIconic() const;
    void GetClientRect(RECT* rect) const;

    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* exchange);

    // The object's window procedure: its tables, then default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Handlers whose default is the window's own behaviour; derived classes call them to fall through.
    void OnPaint() { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    LRESULT OnNcHitTest(POINT) { return Default(); }
    BOOL OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnLButtonDown(UINT, POINT) { Default(); }

    // Called while binding, after m_hWnd is set.
    virtual void PreSubclassWindow() {}
    // Default processing of the message being handled: what the window does without this object.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    UINT m_currentMessage = 0;
    WPARAM m_currentWParam = 0;
    LPARAM m_currentLParam = 0;
};

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds `control` to the dialog's child `id`, on the first exchange only.
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);
// Load direction sets the control's text where it differs; save direction reads it back.
void DDX_Text(CDataExchange* exchange, int id, CString& value);
