#pragma once
// A kept message shown as it went, read-only: the header decoded and aligned, the body decoded
// (see KeptMessageLines), in a fixed-width font so that the columns line up. Escape closes it;
// F1 opens the Sent Registrations help.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TKeptMessageDlg : public QDialog {
public:
    explicit TKeptMessageDlg(QWidget* parent = nullptr);

    QPlainTextEdit* MessageText = nullptr;
    QPushButton* CloseButton = nullptr;

    // Shows `message` (the kept file's bytes) under the title `what`.
    void ShowMessage(const QByteArray& message, const QString& what);
};
