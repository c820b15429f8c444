#pragma once
// A real SMTP server on a free loopback port for the submission tests: Debian's aiosmtpd, run by
// submission_server.py with Debian's own Python. It saves each accepted message (envelope, subject
// and the body as Python's mail parser decodes it); the process ends with this object. Every wait
// is bounded.
#include "platform/wait.h"
#include "support/childprocess.h"
#include "support/process.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct ReceivedMessage {
    QString from;
    QStringList to;
    QString subject;
    QString encoding;
    QStringList bodyLines; // the decoded body split at CR LF, without a last empty piece
    QString raw;
    QByteArray rawBytes;     // exactly as received after DATA, up to the final "."
    QStringList mailOptions; // the MAIL FROM parameters ("BODY=8BITMIME")
    QDateTime acceptedAt;    // when the server answered the final "."
};

class LocalSmtpServer {
public:
    struct Options {
        bool refuseRcpt = false;
        double delaySeconds = 0;
        // Certificate chain and key: offered with STARTTLS, or spoken from the first byte.
        QString startTlsCert, startTlsKey;
        QString tlsCert, tlsKey;
        QString auth;       // "user:password": AUTH required before MAIL FROM
        QString mechanisms; // offered AUTH mechanisms, "PLAIN,LOGIN" when empty

        static Options RefusingRecipients() {
            Options o;
            o.refuseRcpt = true;
            return o;
        }
        static Options Slow(double seconds) {
            Options o;
            o.delaySeconds = seconds;
            return o;
        }
        // Offers `cert` and `key` with STARTTLS, or speaks TLS from the first byte when
        // `implicit`, and asks for `auth` ("user:password").
        static Options Secured(const QString& cert, const QString& key, bool implicit,
                               const QString& auth) {
            Options o;
            (implicit ? o.tlsCert : o.startTlsCert) = cert;
            (implicit ? o.tlsKey : o.startTlsKey) = key;
            o.auth = auth;
            return o;
        }
    };

    LocalSmtpServer() : LocalSmtpServer(Options{}) {}
    explicit LocalSmtpServer(Options options) {
        QStringList args{"--save", save_.path()};
        if (options.refuseRcpt) args << "--refuse-rcpt";
        if (options.delaySeconds > 0) args << "--delay" << QString::number(options.delaySeconds);
        if (!options.startTlsCert.isEmpty())
            args << "--starttls" << options.startTlsCert << options.startTlsKey;
        if (!options.tlsCert.isEmpty()) args << "--tls" << options.tlsCert << options.tlsKey;
        if (!options.auth.isEmpty()) args << "--auth" << options.auth;
        if (!options.mechanisms.isEmpty()) args << "--mechanisms" << options.mechanisms;
        port_ = StartPythonServer(process_, "mail/submission_server.py", args);
    }
    ~LocalSmtpServer() { StopPythonServer(process_); }

    // 0 when the server did not come up.
    uint16_t Port() const { return port_; }
    QString Address() const { return "127.0.0.1:" + QString::number(port_); }
    // The address under the name the test certificates are made for.
    QString LocalhostAddress() const { return "localhost:" + QString::number(port_); }

    // The messages accepted so far, in order.
    std::vector<ReceivedMessage> Messages() const {
        std::vector<ReceivedMessage> all;
        for (int n = 1;; ++n) {
            QFile file(QDir(save_.path()).filePath(QString::number(n) + ".json"));
            if (!file.open(QIODevice::ReadOnly)) break;
            const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
            ReceivedMessage m;
            m.from = o["from"].toString();
            for (const QJsonValue& v : o["to"].toArray())
                m.to << v.toString();
            m.subject = o["subject"].toString();
            m.encoding = o["encoding"].toString();
            m.bodyLines = o["body"].toString().split("\r\n");
            if (!m.bodyLines.isEmpty() && m.bodyLines.back().isEmpty()) m.bodyLines.removeLast();
            m.raw = o["raw"].toString();
            m.rawBytes = QByteArray::fromBase64(o["raw_b64"].toString().toLatin1());
            for (const QJsonValue& v : o["mail_options"].toArray())
                m.mailOptions << v.toString();
            m.acceptedAt =
                QDateTime::fromMSecsSinceEpoch(qint64(o["accepted_at"].toDouble() * 1000));
            all.push_back(m);
        }
        return all;
    }

private:
    QTemporaryDir save_;
    ChildProcess process_;
    uint16_t port_ = 0;
};
