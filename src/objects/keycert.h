#pragma once
// key-cert objects: the certif: lines hold an exported OpenPGP public key (its armour, the
// armour's empty line as an empty certif: line) or an X.509 certificate. The key is read here so
// that the object's name can be held against it: PGPKEY- and the last 8 hex digits of its id.
#include "objects/valuesyntax.h"

#include <QByteArray>
#include <QStringList>

struct ArmouredKey {
    enum State { Key, NoKey, Corrupt } state = Corrupt;
    QString fingerprint; // upper-case hex
    QString keyId;       // 16 upper-case hex digits
    QString why;         // what is wrong, for Corrupt
    // "PGPKEY-" and the last 8 hex digits of the key id.
    QString KeyCertName() const { return "PGPKEY-" + keyId.right(8); }
};

// Reads an armoured OpenPGP public key block, one armour line a line: its CRC (when given) must
// fit and the packets must hold exactly one primary public key.
ArmouredKey ReadArmouredKey(const QStringList& lines);
// Whether the lines hold an X.509 certificate's armour rather than an OpenPGP key's.
bool IsCertificateArmour(const QStringList& lines);
// The certif: lines of a key-cert object, in order, one armour line each.
QStringList CertifLines(const RpslObject& object);
// The certif: attributes that carry `armour` (an exported key's text, LF or CR LF lines).
std::vector<RpslAttribute> CertifAttributes(const QString& armour);

// The class-wide checks of a key-cert object: a key in certif: and a name that fits it.
void CheckKeyCertObject(const RpslObject& object, const RuleTable& rules, ValueFindings& out,
                        QString& attribute);
void CheckCertif(const QString& value, const ValueContext& c, ValueFindings& out);
