#pragma once
// "Make Encrypted Password": a crypt(3) hash made from a password the user types twice (hidden),
// by one of the methods the caller offers (the first is the default). OK is enabled when both
// entries are equal, not empty and usable; a note under them says what the chosen method leaves
// out of the password (traditional crypt counts only 8 characters) or why it cannot be used. The
// hash is made with a fresh random salt. The plain password is cleared from the entries when the
// dialog ends and is never stored.
#include "editing/crypthash.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TCryptDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCryptDlg(const std::vector<CryptMethod>& methods, QWidget* parent = nullptr);
    ~TCryptDlg() override;

    QLineEdit* PasswordEdit;
    QLineEdit* RepeatEdit;
    QComboBox* MethodBox;
    QLabel* MatchNote;
    QLabel* MethodNote;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    CryptMethod Method() const;
    // The hash made at OK; empty before.
    const QString& Hash() const { return hash_; }

    void accept() override;

private:
    void Update();
    std::vector<CryptMethod> methods_;
    QString hash_;
};
