#pragma once
// What the OpenPGP module (openpgp/gpgme, on GPGME) offers: the user's keyring through GnuPG and
// its agent. Every call is synchronous and makes its own GnuPG context, so calls may run on any
// thread; openpgp.h runs them off the window thread. Signatures are made by the program's own gpg
// run (gnupgsign.h), which also carries the companion's loopback passphrase; the module only
// names the key. The program never sees a private key. Failures carry GnuPG's own words (for an
// agent that cannot be reached, GnuPG's reason).
#include "platform/result.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QIODevice;

struct OpenPgpKey {
    QString fingerprint;        // of the primary key: 40 (or 64) hex digits, upper case
    QStringList subkeys;        // the fingerprints of its subkeys (the primary key's first)
    QString signingFingerprint; // the (sub)key that signs: usable, able to sign, its secret part
                                // here (on disk or on a card); empty when there is none
    QString userId;             // the first user ID as the key holds it (any character)
    qint64 expires = 0;         // of the primary key, seconds since the epoch; 0 for none
    bool secret = false;        // the keyring holds a secret part of some (sub)key
    bool onCard = false;        // the signing (sub)key's secret part is on a smartcard
    QString unusable;           // GnuPG's words when the key is expired, revoked, disabled or
                                // invalid; empty when it is none of these
};

// One signature of a signed text, as GnuPG judged it.
struct OpenPgpSignature {
    enum class Status { Good, Bad, ExpiredSignature, ExpiredKey, RevokedKey, NoPublicKey, Failed };
    enum class Validity { Unknown, Never, Marginal, Full, Ultimate };
    Status status = Status::Failed;
    Validity validity = Validity::Unknown; // of the signing key, by the user's web of trust
    QString fingerprint;                   // of the signing key (the primary key when known)
    QString userId;                        // its first user ID, when the keyring has the key
    qint64 made = 0;                       // seconds since the epoch
    qint64 expires = 0;                    // of the signature; 0 for none
    QString problem;                       // GnuPG's words when Failed
};

// The loopback passphrase: the text to hand the agent, or the reason there is none.
using PassphraseSource = std::function<Result<QByteArray>()>;
// Looks at the keys a key id names before anything is signed: accepts them, or refuses with
// the text the user reads.
using KeyChooser = std::function<Result<void>(const std::vector<OpenPgpKey>& named)>;

class OpenPgpBackend {
public:
    virtual ~OpenPgpBackend() = default;
    // The keys `pattern` names (every key when empty); with `secretOnly` only those with a secret
    // part.
    virtual Result<std::vector<OpenPgpKey>> Keys(const QString& pattern, bool secretOnly) = 0;
    // The fingerprint of the one key `keyId` names for signing (the program's own gpg run signs
    // with it). `choose` (may be empty) sees the keys it names first; then it must name exactly
    // one key that can sign (else GnuPG's words: "No secret key", "Key expired", ...).
    virtual Result<QString> Signer(const QString& keyId, const KeyChooser& choose) = 0;
    // GnuPG's words for one of its error codes ("Bad passphrase").
    virtual QString ErrorText(unsigned code) = 0;
    // Checks one cleartext-signed block ("-----BEGIN PGP SIGNED MESSAGE-----" to "-----END PGP
    // SIGNATURE-----"); the text it signs goes to `signedText`. Fails when GnuPG finds no
    // signature to check.
    virtual Result<std::vector<OpenPgpSignature>> VerifyClearSigned(QByteArrayView block,
                                                                    QIODevice& signedText) = 0;
    // Checks a detached signature over `data`.
    virtual Result<std::vector<OpenPgpSignature>> VerifyDetached(QByteArrayView data,
                                                                 QByteArrayView signature) = 0;
    // The armoured public key `keyId` names; empty when it names none.
    virtual Result<QByteArray> ExportPublicKey(const QString& keyId) = 0;
};

// The module's name and its entry point, `OpenPgpBackend* regiscribe_openpgp()`.
inline constexpr const char* OpenPgpModuleName = "openpgp";
inline constexpr const char* OpenPgpModuleEntry = "regiscribe_openpgp";
