#pragma once
// The bottom row of the program's own dialogs: OK (the default button, accepting) and Cancel
// (rejecting, as Escape does) at the right.
class QBoxLayout;
class QDialog;
class QPushButton;

struct OkCancelButtons {
    QPushButton* ok;
    QPushButton* cancel;
};

// Adds the row to `column`; the buttons are named "OKButton" and "CancelButton".
OkCancelButtons AddOkCancelRow(QDialog& dialog, QBoxLayout& column);
