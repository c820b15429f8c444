#include "editing/ui/cryptdlg.h"

#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "app/ui/okcancelrow.h"
#include "app/ui/windowfont.h"
#include "platform/messageboxes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* Note(QWidget* parent, const char* name) {
    auto* note = new QLabel(parent);
    note->setObjectName(name);
    note->setWordWrap(true);
    return note;
}
} // namespace

TCryptDlg::TCryptDlg(const std::vector<CryptMethod>& methods, QWidget* parent)
    : QDialog(parent), methods_(methods.empty() ? AllCryptMethods() : methods) {
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
    for (CryptMethod method : methods_)
        MethodBox->addItem(CryptMethodCaption(method));
    MethodBox->setAccessibleName("Method");
    MethodBox->setToolTip("Traditional crypt (13 characters) is what registries of this kind "
                          "expect; the others are longer and stronger where they are accepted.");
    form->addRow("&Method", MethodBox);
    column->addLayout(form);
    MatchNote = Note(this, "MatchNote");
    column->addWidget(MatchNote);
    MethodNote = Note(this, "MethodNote");
    column->addWidget(MethodNote);

    const OkCancelButtons buttons = AddOkCancelRow(*this, *column);
    OKButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(PasswordEdit, &QLineEdit::textChanged, this, &TCryptDlg::Update);
    connect(RepeatEdit, &QLineEdit::textChanged, this, &TCryptDlg::Update);
    connect(MethodBox, &QComboBox::currentIndexChanged, this, &TCryptDlg::Update);
    Update();
    SetHelpTopic(this, CryptHelpTopic);
    InstallHelpKey(this);
    setMinimumWidth(360);
}

TCryptDlg::~TCryptDlg() {
    PasswordEdit->clear();
    RepeatEdit->clear();
}

CryptMethod TCryptDlg::Method() const {
    const int index = MethodBox->currentIndex();
    return index >= 0 && index < int(methods_.size()) ? methods_[size_t(index)] : methods_.front();
}

void TCryptDlg::Update() {
    const bool same = PasswordEdit->text() == RepeatEdit->text();
    QByteArray password = PasswordEdit->text().toUtf8();
    const Result<void> usable = CheckCryptPassword(password);
    OKButton->setEnabled(same && !password.isEmpty() && usable.Ok());
    MatchNote->setText(RepeatEdit->text().isEmpty() || same ? QString()
                                                            : "The two entries differ.");
    MethodNote->setText(usable ? CryptWarnings(password, Method()).join('\n') : usable.Error());
    // Each note read as the description of the field it is about, so that a screen reader tells it
    // there (and announces it when it changes).
    RepeatEdit->setAccessibleDescription(MatchNote->text());
    PasswordEdit->setAccessibleDescription(MethodNote->text());
    password.fill('\0');
}

void TCryptDlg::accept() {
    if (!OKButton->isEnabled()) return;
    QByteArray password = PasswordEdit->text().toUtf8();
    const Result<QString> hash = CryptHash(password, Method());
    password.fill('\0');
    if (!hash) {
        Boxes().Error(hash.Error());
        return;
    }
    hash_ = hash.Value();
    PasswordEdit->clear();
    RepeatEdit->clear();
    QDialog::accept();
}
