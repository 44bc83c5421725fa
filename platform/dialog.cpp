#include "platform/dialog.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <vector>

#include "platform/dlgbuilder.h"
#include "platform/dlgtemplate.h"
#include "platform/qtwindow.h"
#include "platform/resources.h"
#include "platform/winapp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

std::vector<CDialog*>& ModalDialogs() {
    thread_local std::vector<CDialog*> dialogs;
    return dialogs;
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

}  // namespace

CDialog* CDialog::ActiveModal() { return ModalDialogs().empty() ? nullptr : ModalDialogs().back(); }

INT_PTR CDialog::DoModal() {
    const ResourceEntry* entry = FindResource(ResourceType::Dialog, m_templateId);
    if (!entry || m_hWnd)
        return -1;
    CWnd* ownerObject = m_pParentWnd;
    if (!ownerObject && AfxGetApp() && AfxGetApp()->m_pMainWnd != this)
        ownerObject = AfxGetApp()->m_pMainWnd;
    const HWND owner = ownerObject && IsWindow(ownerObject->m_hWnd) ? ownerObject->m_hWnd : nullptr;

    const HWND window = platform::CreateDialogWindow(*static_cast<const DialogTemplate*>(entry->data), owner);
    m_hWnd = window;
    window->object = this;
    // The owner takes no input while the box is open; Qt's window modality does that without greying
    // the owner's controls, as disabling a parent widget would.
    QPointer<QWidget> ownerWidget = platform::WidgetOf(owner);
    if (ownerWidget)
        window->widget->setWindowModality(Qt::WindowModal);
    ModalDialogs().push_back(this);

    m_ended = false;
    m_result = -1;
    const BOOL focusFirst = OnInitDialog();
    if (!m_ended) {
        QWidget* widget = window->widget;
        widget->adjustSize();
        CentreOn(widget, ownerWidget);
        widget->show();
        widget->activateWindow();
        if (focusFirst)
            FocusFirstTabStop(widget);
        QEventLoop loop;
        m_endLoop = [&loop] { loop.quit(); };
        if (!m_ended)
            loop.exec(QEventLoop::DialogExec);
        m_endLoop = nullptr;
    }

    ModalDialogs().pop_back();
    platform::DestroyWindow(window);
    m_hWnd = nullptr;
    return m_result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

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
