#include "platform/dialog.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include "platform/accessible.h"
#include "platform/dlgbuilder.h"
#include "platform/dlgtemplate.h"
#include "platform/modalruns.h"
#include "platform/qtwindow.h"
#include "platform/resources.h"
#include "platform/winapp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

// The parent, else the application's main window unless that is the dialog itself; a gone one is none.
HWND OwnerOf(const CDialog* dialog, CWnd* parent) {
    CWnd* owner = parent;
    if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd != dialog)
        owner = AfxGetApp()->m_pMainWnd;
    return owner && IsWindow(owner->m_hWnd) ? owner->m_hWnd : nullptr;
}

void CentreOn(QWidget* dialog, QWidget* owner) {
    QRect area = owner ? owner->frameGeometry() : QRect();
    if (area.isEmpty())
        if (QScreen* screen = QGuiApplication::primaryScreen())
            area = screen->availableGeometry();
    QRect frame = dialog->frameGeometry();
    frame.moveCenter(area.center());
    dialog->move(frame.topLeft());
}

void FocusFirstTabStop(QWidget* dialog) {
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        HWND window = platform::WindowFromWidget(child);
        if (window && (window->style & WS_TABSTOP)) {
            child->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void Present(QWidget* dialog, QWidget* owner, BOOL focusFirst) {
    dialog->adjustSize();
    CentreOn(dialog, owner);
    dialog->show();
    dialog->activateWindow();
    if (focusFirst)
        FocusFirstTabStop(dialog);
}

}  // namespace

INT_PTR CDialog::DoModal() {
    const ResourceEntry* entry = FindResource(ResourceType::Dialog, m_templateId);
    if (!entry || m_hWnd)
        return -1;
    const HWND owner = OwnerOf(this, m_pParentWnd);
    const HWND window = platform::CreateDialogWindow(*static_cast<const DialogTemplate*>(entry->data), owner);
    Attach(window);
    // The owner takes no input while the box is open; Qt's window modality does that without greying
    // the owner's controls, as disabling a parent widget would.
    QPointer<QWidget> ownerWidget = platform::WidgetOf(owner);
    if (ownerWidget)
        window->widget->setWindowModality(Qt::WindowModal);
    {
        const platform::ModalRunScope run({this, m_templateId});
        m_ended = false;
        m_result = -1;
        const BOOL focusFirst = OnInitDialog();
        if (!m_ended)
            Present(window->widget, ownerWidget, focusFirst);
        QEventLoop loop;
        m_endLoop = [&loop] { loop.quit(); };
        if (!m_ended)
            loop.exec(QEventLoop::DialogExec);
        m_endLoop = nullptr;
    }
    platform::DestroyWindow(window);
    return m_result;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Commands no table of the dialog's handles go to the application's table, as the help command does.
    LRESULT result = 0;
    if (message == WM_COMMAND && AfxGetApp() && AfxGetApp()->OnWndMsg(message, wParam, lParam, &result))
        return result;
    return CWnd::DefWindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DescribeByStaticTexts() { platform::DescribeByStaticTexts(m_hWnd); }

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    if (m_endLoop)
        m_endLoop();
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
