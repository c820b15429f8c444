#include "editing/ui/cryptdlg.h"

#include "app/ui/okcancelrow.h"
#include "app/ui/windowfont.h"
#include "platform/messageboxes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TCryptDlg::TCryptDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("CryptDlg");
    setWindowTitle("Make Encrypted Password");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(WindowFont());
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setObjectName("PasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setAccessibleName("Password");
    form->addRow("&Password", PasswordEdit);
    RepeatEdit = new QLineEdit(this);
    RepeatEdit->setObjectName("RepeatEdit");
    RepeatEdit->setEchoMode(QLineEdit::Password);
    RepeatEdit->setAccessibleName("Repeat");
    form->addRow("&Repeat", RepeatEdit);
    MethodBox = new QComboBox(this);
    MethodBox->setObjectName("MethodBox");
    MethodBox->addItems({"Traditional crypt", "MD5 crypt ($1$)"});
    MethodBox->setAccessibleName("Method");
    MethodBox->setToolTip("Traditional crypt (13 characters) is what registries of this kind "
                          "expect; MD5 crypt is longer and stronger where it is accepted.");
    form->addRow("&Method", MethodBox);
    column->addLayout(form);
    MatchNote = new QLabel(this);
    MatchNote->setObjectName("MatchNote");
    column->addWidget(MatchNote);

    const OkCancelButtons buttons = AddOkCancelRow(*this, *column);
    OKButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(PasswordEdit, &QLineEdit::textChanged, this, &TCryptDlg::UpdateOk);
    connect(RepeatEdit, &QLineEdit::textChanged, this, &TCryptDlg::UpdateOk);
    UpdateOk();
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

TCryptDlg::~TCryptDlg() {
    PasswordEdit->clear();
    RepeatEdit->clear();
}

CryptMethod TCryptDlg::Method() const {
    return MethodBox->currentIndex() == 1 ? CryptMethod::Md5 : CryptMethod::Traditional;
}

void TCryptDlg::UpdateOk() {
    const bool same = PasswordEdit->text() == RepeatEdit->text();
    OKButton->setEnabled(same && !PasswordEdit->text().isEmpty());
    MatchNote->setText(RepeatEdit->text().isEmpty() || same ? QString()
                                                            : "The two entries differ.");
}

void TCryptDlg::accept() {
    if (!OKButton->isEnabled()) return;
    try {
        hash_ = CryptHash(PasswordEdit->text(), Method());
    } catch (const Exception& e) {
        Boxes().Error(e.Message());
        return;
    }
    PasswordEdit->clear();
    RepeatEdit->clear();
    QDialog::accept();
}
