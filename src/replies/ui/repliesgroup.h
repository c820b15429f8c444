#pragma once
// The "Replies" group of the Mail Security dialog: the mailbox the registry's replies are read
// from (server, TLS or STARTTLS, user, password, folder, minutes between checks) and a Test that
// signs in, selects the folder and signs out off the window thread, telling the outcome in one
// sentence. OK writes the settings' "Replies" section and keeps the password like the mail
// server's: in memory, and in the keyring when "Remember" is ticked.
#include "platform/tasks.h"
#include "replies/replysettings.h"

#include <QGroupBox>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TReplyWatcher;

class TRepliesGroup : public QGroupBox {
    Q_OBJECT
public:
    // `smtpUser`: the dialog's user name box, the default user.
    TRepliesGroup(TReplyWatcher& watcher, QLineEdit& smtpUser, QWidget* parent = nullptr);
    ~TRepliesGroup() override;

    QLineEdit* ServerEdit;
    QComboBox* SecurityBox;
    QLineEdit* UserEdit;
    QLineEdit* PasswordEdit;
    QCheckBox* RememberBox;
    QLineEdit* FolderEdit;
    QSpinBox* CheckBox;
    QPushButton* TestButton;
    QLabel* TestResult;

    // The settings as the fields give them.
    ReplySettings Typed() const;
    void TestButtonClick();
    // OK: the settings written, the password kept (and stored or forgotten in the keyring).
    void Accept();

private:
    void Load();
    // The password a check would use: the typed one, else the one known for the mailbox.
    QString PasswordFor(const MailboxEndpoint& mailbox) const;

    TReplyWatcher& watcher_;
    QLineEdit& smtpUser_;
    ReplySettings loaded_;
    bool stored_ = false; // the keyring held a password for the loaded mailbox
    CancelToken test_;
};
