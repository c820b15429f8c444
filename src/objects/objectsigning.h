#pragma once
// Where database objects meet the user's OpenPGP keyring: the message's signature, the check
// that a maintainer's PGPKEY- is a key the user can sign with, and a key-cert's certif: lines
// from an exported public key. The one place that calls the OpenPGP part of the program, whose
// key choice is being reworked.
#include "objects/rpslobject.h"
#include "platform/result.h"

#include <QStringList>
#include <optional>

// The cleartext signature of `lines` by the key `keyId` (a key id or fingerprint); GnuPG's words
// when it fails. A passphrase command, when given, answers the agent in loopback mode.
Result<QStringList> SignObjectLines(const QStringList& lines, const QString& keyId,
                                    const QString& passphraseCommand);
// Whether the keyring holds the secret key of `keyId`; nothing when GnuPG cannot be asked.
std::optional<bool> SecretKeyHeld(const QString& keyId);
// The key a message is signed with when none is named: the settings' "OpenPGP Key".
QString SettingsSigningKey(const QString& settingsFile);

// A key-cert object's name and certif: lines for the public key `keyId` of the keyring, as
// "Import key..." fills them: "key-cert: PGPKEY-XXXXXXXX" and one certif: line per armour line.
Result<std::vector<RpslAttribute>> KeyCertFromKeyring(const QString& keyId);
