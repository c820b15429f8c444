#include "openpgp/ui/signingkeygroup.h"

#include "app/ui/helptopics.h"
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
    SetHelpTopic(this, SigningHelpTopic);
    // A key's caption is longer than the box: the chosen one is read whole by its name and shown
    // whole in its tool tip.
    connect(SigningKeyBox, &QComboBox::currentIndexChanged, this, [this] { ShowChosenWhole(); });
}

void TSigningKeyGroup::ShowChosenWhole() {
    const bool none = SigningKeyBox->currentData().toString().isEmpty();
    const QString chosen = SigningKeyBox->currentText();
    SigningKeyBox->setAccessibleName(none ? QString("OpenPGP signing key")
                                          : "OpenPGP signing key: " + chosen);
    SigningKeyBox->setToolTip(none ? about_ : chosen + "\n\n" + about_);
}

void TSigningKeyGroup::Load(const QString& fingerprint) {
    SigningKeyBox->clear();
    SigningKeyBox->addItem("(none)", QString());
    const Result<std::vector<OpenPgpKey>> keys = SigningKeys();
    if (!keys) {
        SigningKeyBox->setEnabled(false);
        about_ = "No key can be chosen: " + keys.Error();
        // The stored key stays: a keyring that cannot be read now says nothing about it.
        if (!fingerprint.isEmpty()) {
            SigningKeyBox->addItem(fingerprint + " (kept; the keys cannot be listed)", fingerprint);
            SigningKeyBox->setCurrentIndex(1);
        }
        ShowChosenWhole();
        return;
    }
    SigningKeyBox->setEnabled(true);
    about_ = "Templates whose authorization scheme is PGP are signed with this key and mailed; "
             "with (none) the program asks you to sign them yourself. A contact whose Public PGP "
             "Key ID names one of your keys is signed with that key.";
    for (const OpenPgpKey& key : keys.Value())
        SigningKeyBox->addItem(SigningKeyCaption(key), key.fingerprint);
    ShowChosenWhole();
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
