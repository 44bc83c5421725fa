// The baseline of the start-up benchmark: a bare Qt program that shows one empty dialog of the main
// dialog's size (423 x 174 dialog units in the same font) and exits when it is closed.
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    dialog.setFont(font);
    const QFontMetrics metrics(font);
    const int averageWidth = (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    dialog.setFixedSize(423 * averageWidth / 4, 174 * metrics.height() / 8);
    dialog.setWindowTitle(QStringLiteral("Nomvara"));
    return dialog.exec() == QDialog::Rejected ? 0 : 1;
}
