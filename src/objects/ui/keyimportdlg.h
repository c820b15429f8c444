#pragma once
// "Import key...": which key of the user's keyring a key-cert object carries, chosen from the
// keys that can sign (the maintainer's own key, which signs its updates).
#include <QDialog>

class TSigningKeyGroup;

class TKeyImportDlg : public QDialog {
    Q_OBJECT
public:
    explicit TKeyImportDlg(QWidget* parent = nullptr);
    // Lists the keys and chooses `fingerprint`.
    void Load(const QString& fingerprint);
    // The chosen key; empty for none.
    QString Fingerprint() const;

    TSigningKeyGroup* Keys;
};
