#pragma once
// The "OpenPGP signature" group of the Mail Security dialog: which of the user's keys signs the
// templates whose scheme is PGP. "(none)" first, then every key that can sign now; where GnuPG or
// its agent cannot be asked the box holds only "(none)", disabled, its tool tip says why in
// GnuPG's words, and the stored key stays chosen (shown as kept).
#include <QGroupBox>

class QComboBox;

class TSigningKeyGroup : public QGroupBox {
public:
    explicit TSigningKeyGroup(QWidget* parent = nullptr);

    QComboBox* SigningKeyBox;

    // Lists the keys and chooses `fingerprint` (the settings' "OpenPGP Key"); a key that is no
    // longer listed stays chosen, marked, so that OK does not drop it unasked.
    void Load(const QString& fingerprint);
    // The chosen key's fingerprint; empty for "(none)".
    QString Fingerprint() const;

private:
    void ShowChosenWhole();
    QString about_; // what the box is for, or why no key can be chosen
};
