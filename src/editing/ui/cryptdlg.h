#pragma once
// "Make Encrypted Password": the CRYPT-PW scheme's hash made from a password the user types twice
// (hidden), by traditional DES crypt (the default, 13 characters) or MD5 crypt. OK is enabled when
// both entries are equal and not empty; the hash is made with a fresh random salt. The plain
// password is cleared from the entries when the dialog ends and is never stored.
#include "editing/crypthash.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TCryptDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCryptDlg(QWidget* parent = nullptr);
    ~TCryptDlg() override;

    QLineEdit* PasswordEdit;
    QLineEdit* RepeatEdit;
    QComboBox* MethodBox;
    QLabel* MatchNote;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    CryptMethod Method() const;
    // The hash made at OK; empty before.
    const QString& Hash() const { return hash_; }

    void accept() override;

private:
    void UpdateOk();
    QString hash_;
};
