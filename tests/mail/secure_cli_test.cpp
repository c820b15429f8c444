// The companion's secure submission against a real aiosmtpd with a test authority: `send` and
// `submit` with STARTTLS or TLS and a password from a command, the trace with the secrets masked,
// and the refusals with their texts.
#include "mail/submission_server.h"
#include "support/process.h"
#include "support/tempdir.h"
#include "support/testcerts.h"

#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {
class SecureCli : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(certs.Made()) << certs.Problem().toStdString();
        body = dir.file("body.txt");
        WriteAll(body, "Domain Version Number: 4.0\r\n.dotted\r\n");
    }
    std::unique_ptr<LocalSmtpServer> Server(bool implicit) {
        auto server = std::make_unique<LocalSmtpServer>(LocalSmtpServer::Options::Secured(
            certs.Cert("server"), certs.Key("server"), implicit, "jane:s3cret"));
        EXPECT_NE(server->Port(), 0);
        return server;
    }
    QStringList SendArgs(const LocalSmtpServer& s, const QString& security) const {
        return {"send",
                "--server",
                s.LocalhostAddress(),
                "--from",
                "jane@example.org",
                "--to",
                "hostmaster@example.net",
                "--subject",
                "test",
                "--security",
                security,
                "--user",
                "jane",
                body};
    }

    ScopedWorkDir dir;
    TestCertificates certs;
    TrustTestAuthority trust{certs.Authority()};
    QString body;
};
} // namespace

TEST_F(SecureCli, SendWithStartTlsTracesTheDialogueWithTheSecretMasked) {
    auto server = Server(false);
    ProcessResult r =
        RunCli(SendArgs(*server, "starttls") +
               QStringList{"--password-command", "printf 's3cret\\nignored\\n'", "--trace"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(server->Messages().size(), 1u);
    EXPECT_EQ(OutputLines(r.out).last(), "Connection closed");
    const QStringList trace = OutputLines(r.err);
    EXPECT_TRUE(trace.contains("C: STARTTLS"));
    EXPECT_TRUE(trace.contains("C: AUTH PLAIN ****"));
    EXPECT_TRUE(trace.contains("S: 235 2.7.0 Authentication successful"));
    EXPECT_TRUE(trace.first().startsWith("S: 220 "));
    EXPECT_EQ(trace.mid(trace.size() - 2), (QStringList{"C: QUIT", "S: 221 Bye"}));
    for (const QString& line : trace)
        EXPECT_TRUE(line.startsWith("C: ") || line.startsWith("S: ")) << line.toStdString();
    EXPECT_FALSE(r.err.contains("s3cret"));
    EXPECT_FALSE(r.err.contains(QByteArray("\0jane\0s3cret", 12).toBase64()));
}

TEST_F(SecureCli, SubmitTakesSecurityAndUserFromTheSettingsFile) {
    auto server = Server(true);
    WriteAll(dir.file("regiscribe.ini"),
             "[Setup]\r\nServer=" + server->LocalhostAddress().toUtf8() +
                 "\r\nEMail Address=jane@example.org\r\nName=Jane\r\nMailto=hm@example.net\r\n"
                 "Security=TLS\r\nUser=jane\r\n");
    ProcessResult r = RunCli({"--settings", dir.file("regiscribe.ini"), "submit", "domain",
                              "example.com", "--password-command", "echo s3cret"},
                             dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(OutputLines(r.out).last(), "Your registratuion has been sent.");
    ASSERT_EQ(server->Messages().size(), 1u);
    EXPECT_EQ(server->Messages()[0].subject, "example.com Internic DOMAIN Registration");
    EXPECT_EQ(ReadAll(dir.file("domains.cbx")), "example.com\r\n");
}

TEST_F(SecureCli, RefusalsExitWithTheirTexts) {
    auto server = Server(false);
    // No password anywhere: no command, no keyring (no session bus), no terminal.
    ProcessResult r = RunCli(SendArgs(*server, "starttls"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, ("No password for jane at " + server->LocalhostAddress() + ".\n").toUtf8());
    EXPECT_TRUE(r.out.isEmpty());

    r = RunCli(SendArgs(*server, "starttls") + QStringList{"--password-command", "echo wrong"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "535 5.7.8 Authentication credentials invalid.\n");

    r = RunCli(SendArgs(*server, "none") + QStringList{"--password-command", "echo s3cret"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "A password is only sent over an encrypted connection: choose STARTTLS or "
                     "TLS.\n");

    // The command's own text may hold a secret: it is never repeated.
    r = RunCli(SendArgs(*server, "starttls") +
               QStringList{"--password-command", "echo hunter2 >/dev/null; exit 3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The password command failed (exit status 3).\n");
    EXPECT_TRUE(server->Messages().empty());

    r = RunCli(SendArgs(*server, "ssl"));
    EXPECT_EQ(r.exitCode, 2);
}
