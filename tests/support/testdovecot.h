#pragma once
// A real IMAP server for one test: Debian's Dovecot with a configuration of its own in a
// temporary folder, on loopback, with a test authority's certificate. It listens for TLS on one
// port and for plain IMAP (STARTTLS offered) on another, serves one user whose mailbox is a
// Maildir the test fills, and writes the commands of every signed-in session to its raw log. It
// runs as an unprivileged user (nobody when the tests run as root) and is stopped by its process
// id. Without TLS (`withTls` false) it offers neither TLS nor STARTTLS.
#include "support/testcerts.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class ChildProcess;

class TestDovecot {
public:
    static constexpr const char* User = "jane";
    static constexpr const char* Password = "s3cret";

    explicit TestDovecot(bool withTls = true);
    ~TestDovecot();
    TestDovecot(const TestDovecot&) = delete;
    TestDovecot& operator=(const TestDovecot&) = delete;

    bool Started() const { return problem_.isEmpty(); }
    // Why it did not start (with Dovecot's log), for the failure message.
    const QString& Problem() const { return problem_; }
    quint16 TlsPort() const { return tlsPort_; }
    quint16 PlainPort() const { return plainPort_; }
    // The test authority that signed the server's certificate.
    QString Authority() const { return certificates_.Authority(); }

    // Puts a message into the INBOX as arrived at `arrived`: with Maildir flag letters ("S" seen,
    // "F" flagged, "R" answered), or unseen and new without any.
    void Deliver(const QByteArray& message, const QDateTime& arrived, const QString& flags = {});
    // Every command the clients sent after signing in, in the order of their sessions, each
    // without its time stamp ("a003 UID SEARCH ...").
    QStringList RawCommands() const;
    // Dovecot's log.
    QString Log() const;
    // The log once it holds `count` lines with `text` (Dovecot writes them as it gets to them),
    // or as it stands after ten seconds.
    QString LogOnceItHolds(const QString& text, int count) const;
    QString MaildirPath() const { return dir_.filePath("home/jane/Maildir"); }

private:
    bool Start(bool withTls);
    void Stop();
    void Own(const QString& path) const;

    TestCertificates certificates_;
    QTemporaryDir dir_;
    std::unique_ptr<ChildProcess> dovecot_; // one per start
    quint16 tlsPort_ = 0, plainPort_ = 0;
    QString problem_;
    int delivered_ = 0;
};
