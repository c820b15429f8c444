// The keyring module: secrets in the desktop's Secret Service through QtKeychain.
#include "mail/keyringbackend.h"
#include "platform/module.h"

#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace {
// Runs a job to its end; false when it did not end within `waitMs`. The event queue keeps
// flowing meanwhile, so the window stays responsive.
bool Run(QKeychain::Job& job, int waitMs) {
    bool finished = false;
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    // A keyring that cannot keep a secret must not make one a plain file instead.
    job.setInsecureFallback(false);
    job.start();
    if (!finished) loop.exec();
    return finished;
}

KeyringBackend::Result ResultOf(const QKeychain::Job& job, bool finished) {
    KeyringBackend::Result result;
    if (!finished) {
        result.outcome = KeyringBackend::Outcome::NoAnswer;
        return result;
    }
    switch (job.error()) {
    case QKeychain::NoError:
        result.outcome = KeyringBackend::Outcome::Ok;
        break;
    case QKeychain::EntryNotFound:
        result.outcome = KeyringBackend::Outcome::NotFound;
        break;
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        result.outcome = KeyringBackend::Outcome::Refused;
        break;
    default:
        result.outcome = KeyringBackend::Outcome::Unreachable;
        result.detail = job.errorString().trimmed();
        break;
    }
    return result;
}

class QtKeychainBackend : public KeyringBackend {
public:
    Result Read(const QString& service, const QString& key, int waitMs) override {
        QKeychain::ReadPasswordJob job(service);
        job.setKey(key);
        const bool finished = Run(job, waitMs);
        Result result = ResultOf(job, finished);
        if (result.outcome == Outcome::Ok) result.secret = job.textData();
        return result;
    }
    Result Write(const QString& service, const QString& key, const QString& secret,
                 int waitMs) override {
        QKeychain::WritePasswordJob job(service);
        job.setKey(key);
        job.setTextData(secret);
        const bool finished = Run(job, waitMs);
        return ResultOf(job, finished);
    }
    Result Remove(const QString& service, const QString& key, int waitMs) override {
        QKeychain::DeletePasswordJob job(service);
        job.setKey(key);
        const bool finished = Run(job, waitMs);
        return ResultOf(job, finished);
    }
};
} // namespace

REGISCRIBE_MODULE_ENTRY(KeyringBackend, regiscribe_keyring) {
    static QtKeychainBackend backend;
    return &backend;
}
