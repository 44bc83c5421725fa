// The main dialog with its insides open to tests.
#pragma once

#include <QAccessible>
#include <QListWidget>
#include <QTextDocumentFragment>

#include <string>
#include <vector>

#include "platform/qtwindow.h"
#include "platform/winapp.h"
#include "tasks/nomvarathread.h"
#include "ui/nomvaradlg.h"
#include "ui/resourceids.h"

// Made the application's main window, as the program does, so that boxes it opens are owned by it.
class TestableDialog : public CNomvaraDlg {
public:
    TestableDialog() { AfxGetApp()->m_pMainWnd = this; }
    ~TestableDialog() override { AfxGetApp()->m_pMainWnd = nullptr; }

    using CNomvaraDlg::m_answerCache;
    using CNomvaraDlg::m_localAddresses;
    using CNomvaraDlg::m_pendingRequests;
    using CNomvaraDlg::m_queryEdit;
    using CNomvaraDlg::m_hIcon;
    using CNomvaraDlg::OnGet;
    using CNomvaraDlg::StartLookup;

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        auto* list = static_cast<QListWidget*>(platform::WidgetOf(GetDlgItem(IDC_RESPONSES)));
        for (int i = 0; list && i < list->count(); ++i)
            lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }
    // Lookups of this dialog still waiting for their answer lines: of the ids handed out since the counter
    // was last set back, those its pending table holds.
    std::size_t Pending() const {
        if (m_lowestPending > g_lastRequestId + 1)
            m_lowestPending = 1;
        while (m_lowestPending <= g_lastRequestId && !m_pendingRequests.Contains(m_lowestPending))
            ++m_lowestPending;
        std::size_t pending = 0;
        for (std::uint32_t id = m_lowestPending; id != 0 && id <= g_lastRequestId; ++id)
            pending += m_pendingRequests.Contains(id);
        return pending;
    }
    void Ask(const std::string& query) {
        m_queryEdit.SetWindowText(query.c_str());
        OnGet();
    }
    QWidget* Widget(int id) const { return platform::WidgetOf(GetDlgItem(id)); }
    // Screen readers are told an answer only while the dialog is the active window, which a shown
    // window becomes some events later.
    bool IsActive() const { return platform::WidgetOf(m_hWnd) && platform::WidgetOf(m_hWnd)->isActiveWindow(); }
    // What screen readers were told of the answer, while the application's accessible tree holds it:
    // so with Qt before 6.8. Qt 6.8 on announces it, which only a screen reader hears; the desktop
    // test listens for it there.
    static constexpr bool kToldInTree = QT_VERSION < QT_VERSION_CHECK(6, 8, 0);
    static std::string Announced() {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(qApp);
        for (int i = 0; accessible && i < accessible->childCount(); ++i)
            if (accessible->child(i)->role() == QAccessible::Notification)
                return accessible->child(i)->text(QAccessible::Name).toStdString();
        return "";
    }
    // What a screen reader is told of the answer list beside its name; its tooltip must show the same,
    // read as Qt reads a tooltip: as rich text where it looks like markup.
    std::string Description() const {
        QWidget* list = Widget(IDC_RESPONSES);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
        const QString description = accessible ? accessible->text(QAccessible::Description) : QString();
        const QString tip = list->toolTip();
        const QString shown = Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
        return description == shown ? description.toStdString() : "tooltip shows otherwise: " + shown.toStdString();
    }

private:
    mutable std::uint32_t m_lowestPending = 1;
};
