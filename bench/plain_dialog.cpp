// The start-up benchmark's baseline: what a user would otherwise get, a plain Qt program that shows
// the main dialog written directly against Qt, and exits when it is closed.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>

#include "bench/plaindialog.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    BuildPlainDialog(dialog)->setFocus();
    return dialog.exec() == QDialog::Rejected ? 0 : 1;
}
