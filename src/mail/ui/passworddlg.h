#pragma once
// Asks for the mail password when a send needs one and none is known.
#include <QDialog>

class QCheckBox;
class QLineEdit;

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    TPasswordDlg(const QString& user, const QString& server, QWidget* parent = nullptr);

    QLineEdit* PasswordEdit;
    QCheckBox* RememberBox;
};
