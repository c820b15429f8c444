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
    // "&P" reaches the field; an "&" of the names themselves shows as it is.
    auto escaped = [](QString text) { return text.replace('&', "&&"); };
    auto* label =
        new QLabel("&Password for " + escaped(user) + " at " + escaped(server) + ":", this);
    label->setTextFormat(Qt::PlainText);
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
