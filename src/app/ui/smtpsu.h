#pragma once
// The Setup dialog: the SMTP server, the user's address and name, and the mailbox registrations go
// to. It has no logic of its own; the Setup command fills its edits and reads them back.
#include <QDialog>

class QLineEdit;
class QPushButton;

class TSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSetupDlg(QWidget* parent = nullptr);

    QLineEdit* ServerEdit;
    QLineEdit* UserAddressEdit;
    QLineEdit* UserNameEdit;
    QLineEdit* mailto;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    // Opens the Mail Security dialog (connection security, user name, password); bottom left,
    // last in the tab order.
    QPushButton* SecurityButton;
};

// The registry's hostmaster mailbox, the destination field's initial text.
extern const char* const kRegistryMailbox;
