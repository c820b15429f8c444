#pragma once
// The "Mail Security" dialog of the Setup dialog: how the connection to the SMTP server is
// secured, the user name to sign in with and its password, a Test that connects, greets,
// secures, signs in and says QUIT without sending anything, and the OpenPGP key that signs
// templates whose scheme is PGP.
#include "mail/mailsecurity.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TSigningKeyGroup;

class TSecurityDlg : public QDialog {
    Q_OBJECT
public:
    // `server`: the Setup dialog's "SMTP Server" text as it stands; the Test connects there.
    explicit TSecurityDlg(const QString& server, QWidget* parent = nullptr);

    TMailSecurity Security() const;
    void SetSecurity(TMailSecurity security);
    // The keyring holds the password: "Remember in the keyring" ticked, the empty password field
    // saying so.
    void ShowPasswordStored();
    // The password a send would use for a user when none is typed (kept in memory, else the
    // keyring's); the Test uses it too. May be empty.
    std::function<std::optional<QString>(const QString& user)> KnownPassword;

    QComboBox* SecurityBox;
    QLineEdit* UserEdit;
    QLineEdit* PasswordEdit;
    QCheckBox* RememberBox;
    QPushButton* TestButton;
    QLabel* TestResult;
    TSigningKeyGroup* SigningGroup;
    QComboBox* SigningKeyBox;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    // Runs the Test; the outcome goes to TestResult in one plain sentence.
    void TestButtonClick();

    // A group of another subsystem's settings, placed above OK and Cancel; the dialog grows to
    // hold it.
    void AddGroup(QWidget* group);

private:
    QString server_;
    bool testing_ = false; // a test is running
};

// The Test's sentence for a session that went well: "Connected, secured with TLS 1.3 and signed
// in as jane." and its shorter forms.
QString TestOutcome(const QString& tlsVersion, const QString& user);
