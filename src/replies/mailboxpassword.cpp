#include "replies/mailboxpassword.h"

#include "mail/keyringbackend.h"
#include "platform/module.h"

namespace {
const char kService[] = "Regiscribe";
constexpr int kAnswerWaitMs = 10000;

Result<KeyringBackend*> Keyring() {
    Result<KeyringBackend*> backend =
        SharedModuleInterface<KeyringBackend>(KeyringModuleName, KeyringModuleEntry);
    if (!backend)
        return Fail("No desktop keyring (Secret Service) could be reached (" + backend.Error() +
                    ")");
    return backend;
}

// A failed call in words; nothing for success (and for a missing secret when that is fine).
std::optional<QString> Problem(const KeyringBackend::Result& result, bool missingIsOk) {
    using Outcome = KeyringBackend::Outcome;
    switch (result.outcome) {
    case Outcome::Ok:
        return std::nullopt;
    case Outcome::NotFound:
        if (missingIsOk) return std::nullopt;
        return QStringLiteral("The keyring holds no such password");
    case Outcome::NoAnswer:
        return QStringLiteral("The keyring did not answer");
    case Outcome::Refused:
        return QStringLiteral("The keyring refused access");
    case Outcome::Unreachable:
        break;
    }
    return "No desktop keyring (Secret Service) could be reached" +
           (result.detail.isEmpty() ? QString() : " (" + result.detail + ")");
}
} // namespace

QString MailboxPasswordKey(const QString& user, const QString& server) {
    return "imap://" + user + "@" + server;
}

Result<std::optional<QString>> ReadMailboxPassword(const QString& user, const QString& server) {
    Result<KeyringBackend*> keyring = Keyring();
    if (!keyring) return Fail(keyring.Error());
    const KeyringBackend::Result result =
        keyring.Value()->Read(kService, MailboxPasswordKey(user, server), kAnswerWaitMs);
    if (result.outcome == KeyringBackend::Outcome::NotFound) return std::optional<QString>();
    if (const auto problem = Problem(result, false)) return Fail(*problem);
    return std::optional<QString>(result.secret);
}

Done StoreMailboxPassword(const QString& user, const QString& server, const QString& password) {
    Result<KeyringBackend*> keyring = Keyring();
    if (!keyring) return Fail(keyring.Error());
    if (const auto problem =
            Problem(keyring.Value()->Write(kService, MailboxPasswordKey(user, server), password,
                                           kAnswerWaitMs),
                    false))
        return Fail(*problem);
    return {};
}

Done ClearMailboxPassword(const QString& user, const QString& server) {
    Result<KeyringBackend*> keyring = Keyring();
    if (!keyring) return Fail(keyring.Error());
    if (const auto problem = Problem(
            keyring.Value()->Remove(kService, MailboxPasswordKey(user, server), kAnswerWaitMs),
            true))
        return Fail(*problem);
    return {};
}
