#include "mail/keyring.h"

#include "mail/keyringbackend.h"
#include "platform/module.h"

namespace {
const char* const Service = "Regiscribe";
constexpr int AnswerWaitMs = 10000;

// The keyring module, loaded at the first use; nullptr when it cannot be.
KeyringBackend* Backend(QString* problem) {
    Result<KeyringBackend*> backend =
        SharedModuleInterface<KeyringBackend>(KeyringModuleName, KeyringModuleEntry);
    if (!backend && problem) *problem = backend.Error();
    return backend.ValueOr(nullptr);
}

QString Unreachable(const QString& detail) {
    return "No desktop keyring (Secret Service) could be reached" +
           (detail.isEmpty() ? QString() : " (" + detail + ")");
}

// The answer of a finished call in words; ok for a secret that is simply not stored when
// `missingIsOk`.
KeyringAnswer Answer(const KeyringBackend::Result& result, bool missingIsOk) {
    using Outcome = KeyringBackend::Outcome;
    switch (result.outcome) {
    case Outcome::Ok:
        return {true, {}};
    case Outcome::NotFound:
        return {missingIsOk, {}};
    case Outcome::NoAnswer:
        return {false, "The keyring did not answer"};
    case Outcome::Refused:
        return {false, "The keyring refused access"};
    case Outcome::Unreachable:
        break;
    }
    return {false, Unreachable(result.detail)};
}
} // namespace

QString PasswordKey(const QString& user, const QString& server) {
    return "smtp://" + user + "@" + server;
}

std::optional<QString> ReadStoredPassword(const QString& user, const QString& server,
                                          KeyringAnswer* answer) {
    QString problem;
    KeyringBackend* backend = Backend(&problem);
    if (!backend) {
        if (answer) *answer = {false, Unreachable(problem)};
        return std::nullopt;
    }
    const KeyringBackend::Result result =
        backend->Read(Service, PasswordKey(user, server), AnswerWaitMs);
    const KeyringAnswer told = Answer(result, false);
    if (answer)
        *answer =
            result.outcome == KeyringBackend::Outcome::NotFound ? KeyringAnswer{false, {}} : told;
    if (result.outcome != KeyringBackend::Outcome::Ok) return std::nullopt;
    return result.secret;
}

KeyringAnswer StorePassword(const QString& user, const QString& server, const QString& password) {
    QString problem;
    KeyringBackend* backend = Backend(&problem);
    if (!backend) return {false, Unreachable(problem)};
    return Answer(backend->Write(Service, PasswordKey(user, server), password, AnswerWaitMs),
                  false);
}

KeyringAnswer ClearStoredPassword(const QString& user, const QString& server) {
    QString problem;
    KeyringBackend* backend = Backend(&problem);
    if (!backend) return {false, Unreachable(problem)};
    return Answer(backend->Remove(Service, PasswordKey(user, server), AnswerWaitMs), true);
}

bool KeyringAvailable(QString* why) {
    KeyringAnswer answer;
    ReadStoredPassword(QStringLiteral("availability-check"), QStringLiteral("localhost"), &answer);
    if (answer.problem.isEmpty()) return true;
    if (why) *why = answer.problem;
    return false;
}
