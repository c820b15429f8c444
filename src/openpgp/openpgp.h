#pragma once
// OpenPGP for the PGP scheme: the keys that can sign, the key a template is signed with, its
// cleartext signature, and the check of signed text. Everything goes through the user's own
// GnuPG (the OpenPGP module), off the window thread. This part takes signed text only; finding it
// in a mail message is the mail decoder's (mail/signedparts.h).
#include "openpgp/openpgpbackend.h"
#include "platform/exception.h"
#include "platform/result.h"
#include "templates/recordmodel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QIODevice;

// A signing failure raised by the send flows' signing step; its message is the error box's text.
REGISCRIBE_EXCEPTION(ESigningError, Exception)

// --- Keys ---------------------------------------------------------------------------------------

// The keys that can sign now, for the key list: not expired, revoked or disabled, with a secret
// part (on disk or on a card) of a (sub)key that signs, and a fingerprint no other key shares.
// Fails with GnuPG's words when the keyring cannot be read (the agent's reason when it cannot be
// reached).
Result<std::vector<OpenPgpKey>> SigningKeys();

// "Name <address> - 0123 4567 89AB CDEF (expires 2027-12-31)": the last 16 hex digits of the
// fingerprint, "(no expiry)" when none, " (on card)" after a smartcard's key. Control characters
// of the user ID are shown as escapes.
QString SigningKeyCaption(const OpenPgpKey& key);

// A key id as users write it: 8 or 16 hex digits or a fingerprint, with or without "0x" (blanks
// ignored); upper case without the "0x", or nothing when it is none of these.
std::optional<QString> NormalizedKeyId(const QString& text);

// The armoured public key `keyId` (a key id or fingerprint) names, as GnuPG exports it; empty
// when the keyring holds no such key.
Result<QByteArray> ExportedPublicKey(const QString& keyId);

// --- The key that signs
// ---------------------------------------------------------------------------

struct SigningKeyChoice {
    QString keyId;        // empty: no key is set (the PGP box shows, nothing is mailed)
    bool contact = false; // named by the contact's "Public PGP Key ID"
};

// On a contact whose authentication scheme is PGP and whose "Public PGP Key ID" is filled in,
// that key (the send is refused unless it names exactly one key whose secret part can sign: "The
// contact's key 0xDEADBEEF is not in your keyring", "... names two keys", "... has no secret
// part"); else `settingKey` (the settings' "OpenPGP Key"). Fails when the field is no key id.
Result<SigningKeyChoice> SigningKeyFor(const Record& record, const QString& settingKey);

// --- Signing ------------------------------------------------------------------------------------

// Streams the cleartext signature of everything `in` gives into `out`. Fails with the contact's
// refusal, or "The template could not be signed: " + GnuPG's words. A passphrase command, when
// given, answers the agent in loopback mode; its own failure is told instead of GnuPG's.
Result<void> ClearSign(QIODevice& in, QIODevice& out, const SigningKeyChoice& key,
                       const QString& passphraseCommand = QString());
// The same for the lines of a template (one text line each), giving the signed lines.
Result<QStringList> ClearSignLines(const QStringList& lines, const SigningKeyChoice& key,
                                   const QString& passphraseCommand = QString());

// The send flows' signing step: the signed lines of a record's template by the key SigningKeyFor
// chooses (`overrideKey`, the companion's --sign-key, instead when given); nothing when no key is
// set.
Result<std::optional<QStringList>> SignTemplate(const Record& record, const QStringList& lines,
                                                const QString& settingKey,
                                                const QString& overrideKey = QString(),
                                                const QString& passphraseCommand = QString());

// --- Checking -----------------------------------------------------------------------------------

// The verdict on one signed block or PGP/MIME part.
struct SignatureVerdict {
    std::vector<OpenPgpSignature> signatures; // at least one
    QByteArray signedText;                    // what they sign, as GnuPG gives it back

    // Every signature good, by a key of full or ultimate validity (marginal too, when
    // `acceptMarginal`).
    bool Accepted(bool acceptMarginal = false) const;
};

// Checks a cleartext-signed block ("-----BEGIN PGP SIGNED MESSAGE-----" to "-----END PGP
// SIGNATURE-----"). Fails with "The signature could not be checked: " + GnuPG's words.
Result<SignatureVerdict> CheckClearSigned(QByteArrayView block);
// Checks a detached signature (PGP/MIME) over `data`; `shownText` becomes the verdict's text.
Result<SignatureVerdict> CheckDetached(QByteArrayView data, QByteArrayView signature,
                                       const QByteArray& shownText);

// One line per signature: "Good signature from USER-ID (FINGERPRINT), key validity full",
// "BAD signature from ...", "Expired signature from ...", "Signature by an expired key from
// ...", "Signature by a revoked key from ...", "No public key for FINGERPRINT"; a good signature
// adds the key's validity ("key validity full", "key validity marginal", "not certified by a key
// you trust"). Control characters are shown as escapes.
QString SignatureLine(const OpenPgpSignature& signature);
