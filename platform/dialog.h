// CDialog: a modal dialog built from a template in the program's resources.
#pragma once

#include <functional>

#include "platform/wnd.h"


class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_pParentWnd(parent) {}

    // Builds the window, runs OnInitDialog, loops until EndDialog, destroys the window, returns the end code.
    // The owner (the parent, else the application's main window) takes no input meanwhile. -1 on failure.
    INT_PTR DoModal();
    // Binds the controls by one load-direction exchange; TRUE puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    void EndDialog(int result);
    // From now on screen readers read the texts of its statics, in template order, when it opens.
    void DescribeByStaticTexts();

protected:
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

    UINT m_templateId;
    CWnd* m_pParentWnd;
    INT_PTR m_result = -1;
    bool m_ended = false;
    std::function<void()> m_endLoop;  // ends the modal loop while it runs
};
