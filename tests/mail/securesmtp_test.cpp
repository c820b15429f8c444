// The extended session against a real aiosmtpd on loopback with STARTTLS, implicit TLS and AUTH,
// certificates made by openssl for the test and trusted through REGISCRIBE_CA_FILE: what goes
// over the wire, what arrives, and every refusal (with nothing sent).
#include "mail/mssmtp.h"
#include "mail/submission_server.h"
#include "support/loopbackpeer.h"
#include "support/testcerts.h"

#include <QElapsedTimer>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
class SecureSmtp : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(certs.Made()) << certs.Problem().toStdString();
        message.Sender().SetAddress("jane@example.org");
        message.Sender().SetName("Jane");
        message.Recipients().AddAddress("hostmaster@example.net");
        message.SetSubject("example.com Internic DOMAIN Registration");
        message.SetBody({"Domain Version Number: 4.0", ".dotted", "\tTabbed line"});
        smtp.SetMailMessage(&message);
        smtp.SetTimeOut(10);
        smtp.OnTrace = [this](const QString& line) { trace << line; };
        smtp.OnOpen = [this](QObject*) { trace << "event: Open"; };
    }
    // A server with `cert` ("server", "expired", ...) for STARTTLS or for implicit TLS.
    std::unique_ptr<LocalSmtpServer> Server(const QString& cert, bool implicit,
                                            const QString& auth = "jane:s3cret",
                                            const QString& mechanisms = QString()) {
        auto o =
            LocalSmtpServer::Options::Secured(certs.Cert(cert), certs.Key(cert), implicit, auth);
        o.mechanisms = mechanisms;
        auto server = std::make_unique<LocalSmtpServer>(o);
        EXPECT_NE(server->Port(), 0);
        return server;
    }
    void Use(const LocalSmtpServer& server, TMailSecurity security, const QString& user = "jane",
             const QString& password = "s3cret") {
        smtp.SetServer(server.LocalhostAddress());
        smtp.SetSecurity(security);
        smtp.SetUser(user);
        smtp.SetPassword(password);
    }
    QString SendAndCatch() {
        try {
            smtp.Send();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QString();
    }
    // The trace lines the client sent.
    QStringList Sent() const {
        QStringList sent;
        for (const QString& line : trace)
            if (line.startsWith("C: ")) sent << line.mid(3);
        return sent;
    }

    TestCertificates certs;
    TrustTestAuthority trust{certs.Authority()};
    TmsMessage message;
    TmsSMTP smtp;
    QStringList trace;
};
} // namespace

TEST_F(SecureSmtp, StartTlsWithAuthPlainDeliversTheSameBytesAsThePlainSession) {
    LocalSmtpServer plain;
    smtp.SetServer(plain.Address());
    ASSERT_EQ(SendAndCatch(), "");
    ASSERT_EQ(plain.Messages().size(), 1u);

    auto secure = Server("server", false);
    Use(*secure, TMailSecurity::StartTls);
    trace.clear();
    ASSERT_EQ(SendAndCatch(), "");
    ASSERT_EQ(secure->Messages().size(), 1u);
    EXPECT_EQ(secure->Messages()[0].raw, plain.Messages()[0].raw);
    EXPECT_EQ(secure->Messages()[0].from, "jane@example.org");
    const QStringList sent = Sent();
    ASSERT_GE(sent.size(), 5);
    EXPECT_TRUE(sent[0].startsWith("EHLO "));
    EXPECT_EQ(sent[1], "STARTTLS");
    EXPECT_TRUE(sent[2].startsWith("EHLO "));
    EXPECT_EQ(sent[3], "AUTH PLAIN ****");
    EXPECT_EQ(sent[4], "MAIL FROM:<jane@example.org>");
    EXPECT_EQ(sent.last(), "QUIT");
    EXPECT_FALSE(trace.join('\n').contains(QByteArray("\0jane\0s3cret", 13).toBase64()));
    EXPECT_TRUE(smtp.FarewellProblem().isEmpty());
}

TEST_F(SecureSmtp, ImplicitTlsWithAuthLogin) {
    auto secure = Server("server", true, "jane:s3cret", "LOGIN");
    Use(*secure, TMailSecurity::Tls);
    ASSERT_EQ(SendAndCatch(), "");
    ASSERT_EQ(secure->Messages().size(), 1u);
    const QStringList sent = Sent();
    EXPECT_TRUE(sent[0].startsWith("EHLO "));
    EXPECT_EQ(sent.mid(1, 3), (QStringList{"AUTH LOGIN", "****", "****"}));
    EXPECT_FALSE(trace.join('\n').contains(QByteArray("s3cret").toBase64()));
}

TEST_F(SecureSmtp, EveryRefusalSaysWhyAndSendsNothing) {
    struct Case {
        const char* name;
        QString cert;
        bool offerStartTls;
        TMailSecurity security;
        QString password;
        QString expected;
    };
    const QString refused = "The server's certificate was not accepted: ";
    const Case cases[] = {
        {"not offered", "", false, TMailSecurity::StartTls, "s3cret",
         "The server does not offer STARTTLS; nothing was sent."},
        {"other host", "otherhost", true, TMailSecurity::StartTls, "s3cret",
         refused + "host name mismatch"},
        {"expired", "expired", true, TMailSecurity::StartTls, "s3cret",
         refused + "certificate has expired"},
        {"untrusted", "untrusted", true, TMailSecurity::StartTls, "s3cret",
         refused + "issued by an authority that is not trusted"},
        {"self-signed", "selfsigned", false, TMailSecurity::Tls, "s3cret",
         refused + "self-signed certificate"},
        {"wrong password", "server", true, TMailSecurity::StartTls, "wrong",
         "535 5.7.8 Authentication credentials invalid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<LocalSmtpServer> server;
        if (c.cert.isEmpty()) {
            LocalSmtpServer::Options o;
            o.auth = "jane:s3cret";
            server = std::make_unique<LocalSmtpServer>(o);
        } else {
            server = Server(c.cert, c.security == TMailSecurity::Tls);
        }
        Use(*server, c.security, "jane", c.password);
        trace.clear();
        EXPECT_EQ(SendAndCatch(), c.expected);
        EXPECT_TRUE(server->Messages().empty());
        EXPECT_FALSE(Sent().join('\n').contains("MAIL FROM")) << Sent().join('|').toStdString();
        EXPECT_FALSE(smtp.Connected());
    }

    // A user with security off is refused before anything happens.
    LocalSmtpServer plain;
    Use(plain, TMailSecurity::None);
    trace.clear();
    EXPECT_EQ(SendAndCatch(),
              "A password is only sent over an encrypted connection: choose STARTTLS or TLS.");
    EXPECT_TRUE(trace.isEmpty());
}

TEST_F(SecureSmtp, AHandshakeWithASilentServerTimesOut) {
    // A listener whose queue takes the connection and that never answers the client's hello.
    uint16_t port = 0;
    const int listener = ListenOnLoopback(1, port);
    smtp.SetServer("localhost:" + QString::number(port));
    smtp.SetSecurity(TMailSecurity::Tls);
    smtp.SetTimeOut(1);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(SendAndCatch(), "Operation timed out");
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(smtp.Connected());
    ::close(listener);
}
