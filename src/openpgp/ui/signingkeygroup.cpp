#include "openpgp/ui/signingkeygroup.h"

#include "openpgp/openpgp.h"

#include <QComboBox>
#include <QVBoxLayout>

TSigningKeyGroup::TSigningKeyGroup(QWidget* parent) : QGroupBox("OpenPGP signature", parent) {
    setObjectName("SigningGroup");
    auto* column = new QVBoxLayout(this);
    SigningKeyBox = new QComboBox(this);
    SigningKeyBox->setObjectName("SigningKeyBox");
    SigningKeyBox->setAccessibleName("OpenPGP signing key");
    SigningKeyBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    SigningKeyBox->setMinimumContentsLength(40);
    column->addWidget(SigningKeyBox);
}

void TSigningKeyGroup::Load(const QString& fingerprint) {
    SigningKeyBox->clear();
    SigningKeyBox->addItem("(none)", QString());
    QString why;
    const std::optional<std::vector<OpenPgpKey>> keys = SigningKeys(&why);
    if (!keys) {
        SigningKeyBox->setEnabled(false);
        SigningKeyBox->setToolTip("No key can be chosen: " + why);
        return;
    }
    SigningKeyBox->setEnabled(true);
    SigningKeyBox->setToolTip("Templates whose authorization scheme is PGP are signed with this "
                              "key and mailed; with (none) the program asks you to sign them "
                              "yourself. A contact whose Public PGP Key ID names one of your keys "
                              "is signed with that key.");
    for (const OpenPgpKey& key : *keys)
        SigningKeyBox->addItem(SigningKeyCaption(key), key.fingerprint);
    if (fingerprint.isEmpty()) return;
    int index = SigningKeyBox->findData(fingerprint.toUpper());
    if (index < 0) {
        SigningKeyBox->addItem(fingerprint + " (not a usable signing key)", fingerprint);
        index = SigningKeyBox->count() - 1;
    }
    SigningKeyBox->setCurrentIndex(index);
}

QString TSigningKeyGroup::Fingerprint() const {
    return SigningKeyBox->currentData().toString();
}
