#include "mail/keyring.h"

#include "platform/wait.h"

#include <qt6keychain/keychain.h>

namespace {
const char* const Service = "Regiscribe";
constexpr int AnswerWaitMs = 10000;

// Runs a job to its end; false when it did not end in time.
bool Run(QKeychain::Job& job) {
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, [&finished] { finished = true; });
    job.setAutoDelete(false);
    // A keyring that cannot keep a secret must not make one a plain file instead.
    job.setInsecureFallback(false);
    job.start();
    return WaitUntil([&finished] { return finished; }, AnswerWaitMs);
}

QString Problem(const QKeychain::Job& job) {
    switch (job.error()) {
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        return "The keyring refused access";
    case QKeychain::NoBackendAvailable:
    case QKeychain::OtherError:
    default:
        break;
    }
    const QString detail = job.errorString().trimmed();
    return "No desktop keyring (Secret Service) could be reached" +
           (detail.isEmpty() ? QString() : " (" + detail + ")");
}
} // namespace

QString PasswordKey(const QString& user, const QString& server) {
    return "smtp://" + user + "@" + server;
}

std::optional<QString> ReadStoredPassword(const QString& user, const QString& server,
                                          KeyringAnswer* answer) {
    QKeychain::ReadPasswordJob job(Service);
    job.setKey(PasswordKey(user, server));
    KeyringAnswer result;
    std::optional<QString> password;
    if (!Run(job)) {
        result.problem = "The keyring did not answer";
    } else if (job.error() == QKeychain::NoError) {
        result.ok = true;
        password = job.textData();
    } else if (job.error() != QKeychain::EntryNotFound) {
        result.problem = Problem(job);
    }
    if (answer) *answer = result;
    return password;
}

KeyringAnswer StorePassword(const QString& user, const QString& server, const QString& password) {
    QKeychain::WritePasswordJob job(Service);
    job.setKey(PasswordKey(user, server));
    job.setTextData(password);
    if (!Run(job)) return {false, "The keyring did not answer"};
    if (job.error() != QKeychain::NoError) return {false, Problem(job)};
    return {true, {}};
}

KeyringAnswer ClearStoredPassword(const QString& user, const QString& server) {
    QKeychain::DeletePasswordJob job(Service);
    job.setKey(PasswordKey(user, server));
    if (!Run(job)) return {false, "The keyring did not answer"};
    if (job.error() != QKeychain::NoError && job.error() != QKeychain::EntryNotFound)
        return {false, Problem(job)};
    return {true, {}};
}

bool KeyringAvailable(QString* why) {
    KeyringAnswer answer;
    ReadStoredPassword(QStringLiteral("availability-check"), QStringLiteral("localhost"), &answer);
    if (answer.problem.isEmpty()) return true;
    if (why) *why = answer.problem;
    return false;
}
