#include "mail/ui/rememberbox.h"

#include "mail/keyring.h"

#include <QCheckBox>

QCheckBox* MakeRememberBox(QWidget* parent) {
    auto* box = new QCheckBox("&Remember in the keyring", parent);
    box->setObjectName("RememberBox");
    QString why;
    if (KeyringAvailable(&why)) {
        box->setToolTip("Keeps the password in your desktop's keyring, never in a file.");
    } else {
        box->setEnabled(false);
        box->setToolTip(why + ", so the password is kept only until the program ends.");
    }
    return box;
}
