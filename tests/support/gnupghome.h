#pragma once
// A GnuPG home of its own for one test program run: GNUPGHOME points at a fresh folder whose agent
// caches no passphrase, allows loopback and asks its passphrases through a pinentry of the
// tests' (it answers what the test sets: a passphrase, or a cancel). Keys are made by `gpg
// --batch --quick-gen-key` at test time. The agent is stopped by its process id at the end.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class TestGnupgHome {
public:
    TestGnupgHome();
    ~TestGnupgHome();
    TestGnupgHome(const TestGnupgHome&) = delete;
    TestGnupgHome& operator=(const TestGnupgHome&) = delete;

    bool Ready() const { return ready_; }
    QString Path() const { return dir_.path(); }

    // Makes a signing key (Ed25519) for `userId`; its fingerprint, or empty when gpg failed.
    // `passphrase` protects it; `expired` makes it with a faked time so that it expired long ago.
    QString MakeKey(const QString& userId, const QString& passphrase = QString(),
                    bool expired = false);
    // Makes a signing key at the faked time `when` ("20200101T000000") that expires after
    // `expiry` ("never", "1y"); its fingerprint.
    QString MakeKeyAt(const QString& userId, const QString& when, const QString& expiry);
    // The fingerprint of the key `userId` names, or empty.
    QString Fingerprint(const QString& userId) const;
    // Makes a signing key whose secret part the agent says is on a smartcard (its key file turned
    // into the shadow the agent keeps of a card's key); its fingerprint.
    QString MakeCardKey(const QString& userId);
    // Makes a key whose primary secret part is a stub and whose one secret subkey only encrypts.
    QString MakeStubKey(const QString& userId);
    // Makes a key the keyring holds twice: once more in a second keyring that gpg.conf adds.
    QString MakeTwinKey(const QString& userId);
    // Whether gpg starts an agent that does not exist (GnuPG cannot reach any), or its own.
    void BreakAgent(bool broken);
    // What the pinentry answers next: a passphrase, or "cancel".
    void SetPinentryAnswer(const QString& answer);
    // Runs gpg with this home; its standard error and output together.
    QString Gpg(const QStringList& args, const QByteArray& input = {}) const;
    // Stops the agent (by its process id) if one runs.
    void StopAgent();

private:
    QTemporaryDir dir_;
    QByteArray previous_;
    bool hadPrevious_ = false;
    bool ready_ = false;
};
