#include "editing/ui/cryptbuttons.h"

#include "app/ui/controls.h"
#include "app/ui/fieldstate.h"
#include "app/ui/form1.h"
#include "editing/ui/cryptdlg.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
struct CryptField {
    const char* field;
    const char* button;
    const char* caption; // the field's caption under CRYPT-PW
};
const CryptField kFields[] = {
    {"AuthInfoEdit", "MakeCryptButton", "Password"},
    {"HostAuthInfo", "HostMakeCryptButton", "Password"},
    {"ContactAuthorizationInfo", "ContactMakeCryptButton", "Password"},
    {"ContactAuthenticationInfo", "ContactAuthMakeCryptButton", "Encrypted Password"},
};
} // namespace

TCryptButtons::TCryptButtons(TForm1& form) : QObject(&form), form_(form) {
    setObjectName("CryptButtons");
    for (const CryptField& f : kFields)
        if (QWidget* field = form_.Control<QWidget>(f.field)) field->installEventFilter(this);
    Update();
}

bool TCryptButtons::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::EnabledChange) Update();
    return QObject::eventFilter(watched, event);
}

void TCryptButtons::Update() {
    for (const CryptField& f : kFields) {
        auto* field = form_.Control<QWidget>(f.field);
        auto* label = form_.Control<QLabel>(LabelName(f.field));
        auto* button = form_.Control<QPushButton>(f.button);
        if (!field || !label || !button) continue;
        button->setVisible(IsFieldOpen(field) && label->text() == f.caption);
    }
}

void TCryptButtons::MakeInto(const char* fieldName) {
    auto* field = form_.Control<QLineEdit>(fieldName);
    if (!field) return;
    TCryptDlg dialog(AllCryptMethods(), &form_);
    if (dialog.exec() != QDialog::Accepted) return;
    field->setText(dialog.Hash());
    field->setFocus();
}

void TCryptButtons::MakeCryptButtonClick() {
    MakeInto("AuthInfoEdit");
}

void TCryptButtons::HostMakeCryptButtonClick() {
    MakeInto("HostAuthInfo");
}

void TCryptButtons::ContactMakeCryptButtonClick() {
    MakeInto("ContactAuthorizationInfo");
}

void TCryptButtons::ContactAuthMakeCryptButtonClick() {
    MakeInto("ContactAuthenticationInfo");
}
