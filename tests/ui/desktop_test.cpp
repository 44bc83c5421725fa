// What a desktop user expects of the main dialog: copying answers, names for screen readers, tab order.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QListWidget>

#include <gtest/gtest.h>

#include "tests/support.h"
#include "tests/ui/dialog_access.h"
#include "ui/templates.h"

using testing_support::PumpUntil;
using testing_support::RunModal;

namespace {

QAction* Action(QWidget* list, const QString& startsWith) {
    for (QAction* action : list->actions())
        if (action->text().startsWith(startsWith) && !action->text().startsWith(startsWith + " All"))
            return action;
    return nullptr;
}

}  // namespace

TEST(Desktop, TheResponseListCopiesTheSelectedLinesOrAllOfThemInItsOrder) {
    testing_support::ScriptedResolver resolver;
    resolver.AddName("three.example", {"192.0.2.30", "10.0.0.1", "192.0.2.4"});
    TestableDialog dialog;
    RunModal(dialog, [&] {
        dialog.Ask("three.example");
        ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }));
        auto* list = static_cast<QListWidget*>(dialog.Widget(IDC_RESPONSES));
        EXPECT_EQ(list->contextMenuPolicy(), Qt::ActionsContextMenu);
        QFocusEvent entered(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(list, &entered);
        EXPECT_EQ(list->currentRow(), 0) << "entering the list makes its first line current";
        Action(list, "Copy")->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "") << "and selects nothing";
        list->setCurrentRow(1);
        Action(list, "Copy")->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "192.0.2.30");
        Action(list, "Copy All")->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "10.0.0.1\n192.0.2.30\n192.0.2.4");
        list->setCurrentRow(2);
        QKeyEvent control(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
        QApplication::sendEvent(list, &control);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "192.0.2.4");
    });
}

TEST(Desktop, InputsAndTheListAreNamedByTheirLabels) {
    testing_support::ScriptedResolver resolver;
    TestableDialog dialog;
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.Widget(IDC_QUERY)->accessibleName(), "Dns Query:");
        EXPECT_EQ(dialog.Widget(IDC_LOCAL_ADDRESSES)->accessibleName(), "Local IP Addresses:");
        EXPECT_EQ(dialog.Widget(IDC_RESPONSES)->accessibleName(), "Dns Response");
    });
}

TEST(Desktop, TabOrderIsTheTemplateOrder) {
    testing_support::ScriptedResolver resolver;
    TestableDialog dialog;
    RunModal(dialog, [&] {
        std::vector<QWidget*> stops;
        for (const DialogControl& control : kMainDialogTemplate.controls)
            if (control.style & WS_TABSTOP)
                stops.push_back(dialog.Widget(control.id));
        ASSERT_EQ(stops.size(), 5u);
        for (size_t i = 0; i < stops.size(); ++i) {
            QWidget* next = stops[i]->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            EXPECT_EQ(next, stops[(i + 1) % stops.size()]) << i;
        }
    });
}
