#pragma once
// What the keyring module (mail/keyring, on QtKeychain) offers: one secret read, written or
// removed at a time, each waiting for the keyring's answer while the event queue keeps flowing.
#include <QString>

class KeyringBackend {
public:
    enum class Outcome { Ok, NotFound, NoAnswer, Refused, Unreachable };
    struct Result {
        Outcome outcome = Outcome::Unreachable;
        QString secret; // the secret read
        QString detail; // the keyring's own words about a failure
    };

    virtual ~KeyringBackend() = default;
    virtual Result Read(const QString& service, const QString& key, int waitMs) = 0;
    virtual Result Write(const QString& service, const QString& key, const QString& secret,
                         int waitMs) = 0;
    virtual Result Remove(const QString& service, const QString& key, int waitMs) = 0;
};

// The module's name and its entry point, `KeyringBackend* regiscribe_keyring()`.
inline constexpr const char* KeyringModuleName = "keyring";
inline constexpr const char* KeyringModuleEntry = "regiscribe_keyring";
