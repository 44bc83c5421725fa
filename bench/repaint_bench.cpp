// The cost of a full repaint of the main dialog, every control included, against the same dialog
// written directly against Qt, both shown in one run on the offscreen platform: the framework's work
// around each paint (its messages, its colours) is the difference. The two take turns, round by
// round, so that whatever else the machine does weighs on both alike; the ratio is the median of the
// rounds' ratios.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/plaindialog.h"
#include "platform/qtwindow.h"
#include "tests/scriptedresolver.h"
#include "tests/ui/dialog_access.h"

namespace {

constexpr int kRounds = 41, kRepaintsPerRound = 100;

// Microseconds a repaint of `dialog`, over one round.
double RepaintMicroseconds(QWidget* dialog) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRepaintsPerRound; ++i)
        dialog->repaint();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / kRepaintsPerRound;
}

// The plain dialog takes each control's place, font, colours and text from ours, so that both draw
// the same pixels: the local addresses, the links' blue and underline.
void DrawLike(QWidget* ours, QWidget* plain) {
    const auto ourControls = ours->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const auto plainControls = plain->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < std::min(ourControls.size(), plainControls.size()); ++i) {
        QWidget *from = ourControls[i], *to = plainControls[i];
        to->setGeometry(from->geometry());
        to->setFont(from->font());
        to->setPalette(from->palette());
        to->setAutoFillBackground(from->autoFillBackground());
        if (auto* label = qobject_cast<QLabel*>(from); label && !label->text().isEmpty())
            static_cast<QLabel*>(to)->setText(label->text());
        if (auto* edit = qobject_cast<QPlainTextEdit*>(from))
            static_cast<QPlainTextEdit*>(to)->setPlainText(edit->toPlainText());
    }
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void Measure(QWidget* ours, QWidget* plain) {
    RepaintMicroseconds(ours), RepaintMicroseconds(plain);  // both warm
    std::vector<double> oursTimes, plainTimes, ratios;
    for (int round = 0; round < kRounds; ++round) {
        const bool oursFirst = round % 2 == 0;
        const double first = RepaintMicroseconds(oursFirst ? ours : plain);
        const double second = RepaintMicroseconds(oursFirst ? plain : ours);
        oursTimes.push_back(oursFirst ? first : second);
        plainTimes.push_back(oursFirst ? second : first);
        ratios.push_back(oursTimes.back() / plainTimes.back());
    }
    std::printf("Full repaint of the main dialog: %.1f us; the same dialog in plain Qt: %.1f us (medians of %d rounds of %d); "
                "ratio %.3f (goal: <= 1.05)\n",
                Median(oursTimes), Median(plainTimes), kRounds, kRepaintsPerRound, Median(ratios));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing_support::ScriptedResolver resolver;  // the same local addresses every run
    TestableDialog dialog;
    QDialog plain;
    BuildPlainDialog(plain)->setFocus();
    QTimer::singleShot(0, [&] {
        DrawLike(platform::WidgetOf(dialog.m_hWnd), &plain);
        plain.show();
        QCoreApplication::processEvents();
        Measure(platform::WidgetOf(dialog.m_hWnd), &plain);
        plain.close();
        dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    return 0;
}
