#pragma once
// OpenPGP for the PGP scheme: the keys that can sign, the key a template is signed with, its
// cleartext signature, and the check of a signed text. Everything goes through the user's own
// GnuPG (the OpenPGP module), off the window thread.
#include "openpgp/openpgpbackend.h"
#include "platform/exception.h"
#include "templates/recordmodel.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// A signing failure; its message is the text the error box shows.
REGISCRIBE_EXCEPTION(ESigningError, Exception)

// The secret keys that can sign now (not expired, revoked or disabled), or nothing with the reason
// when GnuPG cannot be asked.
std::optional<std::vector<OpenPgpKey>> SigningKeys(QString* why);

// "Name <address> - 0123 4567 89AB CDEF (expires 2027-12-31)": the last 16 hex digits of the
// fingerprint, "(no expiry)" when none.
QString SigningKeyCaption(const OpenPgpKey& key);

// A key id as users write it: 8 or 16 hex digits or a fingerprint, with or without "0x" (blanks
// ignored); upper case without the "0x", or nothing when it is none of these.
std::optional<QString> NormalizedKeyId(const QString& text);

// The fingerprint of the secret key `keyId` names, when the keyring holds it; nothing otherwise.
std::optional<QString> SecretKeyFingerprint(const QString& keyId);

// The key a template is signed with: on a contact whose authentication scheme is PGP, the key its
// "Public PGP Key ID" field names when the keyring holds that key's secret part; else
// `settingKey` (the settings' "OpenPGP Key"). Empty for none.
QString SigningKeyFor(const Record& record, const QString& settingKey);

// The cleartext signature of `lines` (one text line each) by `keyId`; raises ESigningError
// "The template could not be signed: " + GnuPG's text. A passphrase command, when given, answers
// the agent in loopback mode.
QStringList ClearSignLines(const QStringList& lines, const QString& keyId,
                           const QString& passphraseCommand = QString());

// The signed text found in `text`: a cleartext-signed text as it stands, or the body of a mail
// message (its quoted-printable transfer encoding undone); empty when there is none.
QByteArray SignedTextIn(const QByteArray& text);
// The check of a signed text, in GnuPG's module.
OpenPgpVerdict VerifySignedText(const QByteArray& signedText);
// "Good signature from USER-ID (FINGERPRINT)", "BAD signature from ...", "No public key for
// FINGERPRINT" or "No OpenPGP signature found.".
QString VerdictText(const OpenPgpVerdict& verdict);
