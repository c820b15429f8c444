#include "objects/ui/keyimportdlg.h"

#include "openpgp/ui/signingkeygroup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

TKeyImportDlg::TKeyImportDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("KeyImportDlg");
    setWindowTitle("Import Key");
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel("The key-cert object will carry the public part of this key; its "
                            "name is PGPKEY- and the key id's last eight digits.",
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    Keys = new TSigningKeyGroup(this);
    Keys->setTitle("OpenPGP key");
    layout->addWidget(Keys);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("KeyImportButtons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TKeyImportDlg::Load(const QString& fingerprint) {
    Keys->Load(fingerprint);
}

QString TKeyImportDlg::Fingerprint() const {
    return Keys->Fingerprint();
}
