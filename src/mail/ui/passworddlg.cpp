#include "mail/ui/passworddlg.h"

#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "app/ui/windowfont.h"
#include "mail/ui/rememberbox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TPasswordDlg::TPasswordDlg(const QString& user, const QString& server, QWidget* parent)
    : QDialog(parent) {
    setObjectName("PasswordDlg");
    setWindowTitle("Mail Password");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(WindowFont());
    auto* column = new QVBoxLayout(this);
    auto* label = new QLabel("Password for " + user + " at " + server + ":", this);
    label->setObjectName("PasswordLabel");
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setObjectName("PasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setAccessibleName("Password");
    label->setBuddy(PasswordEdit);
    RememberBox = MakeRememberBox(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(label);
    column->addWidget(PasswordEdit);
    column->addWidget(RememberBox);
    column->addWidget(buttons);
    SetHelpTopic(this, KeyringHelpTopic);
    InstallHelpKey(this);
    setFixedSize(sizeHint());
}
