// Whatever lands in the query box gets a defined answer and never a crash.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "tests/support.h"
#include "tests/ui/dialog_access.h"

using testing_support::PumpUntil;
using testing_support::RunModal;
using Lines = std::vector<std::string>;

TEST(HostileInput, AnyTextInTheQueryBoxGetsOneDefinedAnswer) {
    testing_support::ScriptedResolver resolver;
    TestableDialog dialog;
    RunModal(dialog, [&] {
        auto* box = qobject_cast<QLineEdit*>(dialog.Widget(IDC_QUERY));
        const QString inputs[] = {
            QString(10000, QLatin1Char('x')),
            QString::fromUtf8("\x01\x02\x1b[31mred"),
            QString::fromUtf8("tab\tand\nnewline"),
            QString(QChar(0)) + "after-nul",
            QString::fromUtf8("\xe2\x80\xae" "reversed.example"),
            QString(3000, QChar(0x00E9)),
            QString::fromUcs4(U"\U0001F600\U0001F600.example"),
        };
        for (const QString& input : inputs) {
            box->setText(input);
            dialog.OnGet();
            ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }));
            EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"}) << input.left(20).toStdString();
        }
        // Bytes that are no UTF-8 at all, pasted from the clipboard.
        QGuiApplication::clipboard()->setText(QString::fromUtf8("\xff\xfe\xc3(\x80\x80" "bad", 9));
        box->clear();
        box->paste();
        dialog.OnGet();
        ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }));
        EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"});
    });
}
