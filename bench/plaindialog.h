// The main dialog written directly against Qt, as a user would otherwise get it: the same controls,
// texts, banner and icon at the same places. The baseline of the start-up and repaint benchmarks.
#pragma once

class QDialog;
class QLineEdit;

// Fills `dialog` with the controls; returns the query box, which takes the focus.
QLineEdit* BuildPlainDialog(QDialog& dialog);
