#pragma once
// What the OpenPGP module (openpgp/gpgme, on GPGME) offers: the user's keyring through GnuPG and
// its agent. Every call is synchronous; openpgp.h runs them off the window thread. The program
// never sees a private key; a passphrase passes through only in the companion's loopback mode.
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

struct OpenPgpKey {
    QString fingerprint; // 40 (or 64) hex digits, upper case
    QString userId;      // "Name <address>" as the key's first user id reads
    QString name, email;
    qint64 expires = 0;  // seconds since the epoch; 0 for none
    bool secret = false; // the keyring holds its secret part
    bool canSign = false;
    bool usable = true; // not expired, revoked, disabled or invalid
};

struct OpenPgpVerdict {
    enum Kind { Good, Bad, NoPublicKey, NoSignature, Failed } kind = Failed;
    QString fingerprint; // of the signing key
    QString userId;      // of the signing key, when the keyring has it
    QString problem;     // GPGME's text when Failed
};

// The loopback passphrase: the text to hand the agent, or nothing to cancel.
using PassphraseSource = std::function<std::optional<QByteArray>()>;

class OpenPgpBackend {
public:
    virtual ~OpenPgpBackend() = default;
    // Whether GnuPG can be used at all; `why` says why not.
    virtual bool Ready(QString& why) = 0;
    // Whether the user's gpg-agent answers (started when it is not running); `why` says why not.
    virtual bool AgentReady(QString& why) = 0;
    // The secret keys of the keyring (with their state); GPGME's text in `problem` on failure.
    virtual std::vector<OpenPgpKey> SecretKeys(QString& problem) = 0;
    // The key `id` names (key id or fingerprint), secret or public; nothing when none does.
    virtual std::optional<OpenPgpKey> FindKey(const QString& id, bool secret, QString& problem) = 0;
    // A cleartext signature of `text` by the key `fingerprint`. With a passphrase source the
    // agent is asked in loopback mode; without it the agent's own pinentry asks.
    virtual bool ClearSign(const QByteArray& text, const QString& fingerprint,
                           const PassphraseSource& passphrase, QByteArray& signedText,
                           QString& problem) = 0;
    // Checks a cleartext-signed text.
    virtual OpenPgpVerdict Verify(const QByteArray& signedText) = 0;
};

// The module's name and its entry point, `OpenPgpBackend* regiscribe_openpgp()`.
inline constexpr const char* OpenPgpModuleName = "openpgp";
inline constexpr const char* OpenPgpModuleEntry = "regiscribe_openpgp";
