// What the program submits, judged as receivers judge it: one Date and one Message-ID, the
// described bytes otherwise, encoded-words and UTF-8 bodies that Python's parser and SpamAssassin
// accept, addresses refused before any connection, and the A-label of an international domain.
#include "mail/submission_server.h"
#include "support/loopbackpeer.h"
#include "support/mailsettings.h"
#include "support/messagejudges.h"
#include "support/process.h"
#include "support/scriptedserver.h"
#include "support/tempdir.h"
#include "templates/templatefiles.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <poll.h>

namespace {
// The message without its Date and Message-ID lines.
QByteArray WithoutStamp(QByteArray text) {
    for (const char* field : {"Date: ", "Message-ID: "}) {
        const qsizetype at = text.indexOf(QByteArray("\r\n") + field);
        if (at >= 0) text.remove(at + 2, text.indexOf("\r\n", at + 2) - at);
    }
    return text;
}

QStringList Fields(const QJsonObject& parsed) {
    QStringList fields;
    for (const QJsonValue& v : parsed["fields"].toArray())
        fields << v.toString();
    return fields;
}

// Whether a connection reached the listener (it is never accepted).
bool SawConnection(int listener) {
    pollfd p{listener, POLLIN, 0};
    return ::poll(&p, 1, 200) > 0;
}

void ExpectJudgesAccept(const QByteArray& raw, const QString& name, const QString& subject,
                        const QString& body) {
    const QJsonObject parsed = ParsedByPython(raw);
    ASSERT_FALSE(parsed.isEmpty()) << "Python's parser did not run";
    EXPECT_TRUE(parsed["defects"].toArray().isEmpty())
        << QJsonDocument(parsed["defects"].toArray()).toJson().toStdString();
    EXPECT_EQ(parsed["from_name"].toString(), name);
    EXPECT_EQ(parsed["subject"].toString(), subject);
    // The client ends the text with an empty line before the final "."; the body is the rest.
    QString decoded = parsed["body"].toString().replace("\r\n", "\n");
    if (decoded.endsWith("\n\n")) decoded.chop(1);
    EXPECT_EQ(decoded, body);
    const SpamVerdict verdict = SpamAssassinVerdict(raw);
    ASSERT_TRUE(verdict.ran) << "SpamAssassin did not run";
    EXPECT_LE(verdict.score, 0.5) << verdict.report.toStdString();
    for (const char* rule :
         {"MISSING_DATE", "MISSING_MID", "PP_MIME_FAKE_ASCII_TEXT", "CTE_8BIT_MISMATCH"})
        EXPECT_FALSE(verdict.rules.contains(rule)) << rule;
}
} // namespace

TEST(Delivery, EachSubmissionCarriesOneFreshDateAndMessageIdAndOtherwiseTheDescribedBytes) {
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(server.Address()));
    for (int send = 0; send < 2; ++send) {
        const ProcessResult r = RunCli({"--settings", dir.file("regiscribe.ini"), "submit",
                                        "domain", "example.com", "--set", "OOrgNameEdit=Ex Inc"});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    }
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 2u);
    QStringList ids;
    for (const ReceivedMessage& m : received) {
        const QJsonObject parsed = ParsedByPython(m.rawBytes);
        EXPECT_EQ(parsed["dates"].toInt(), 1);
        EXPECT_EQ(parsed["message_ids"].toInt(), 1);
        const QStringList fields = Fields(parsed);
        EXPECT_EQ(fields.mid(0, 5), (QStringList{"From", "To", "Date", "Message-ID", "Subject"}));
        const double sent = parsed["date"].toDouble();
        EXPECT_LE(std::abs(sent - double(QDateTime::currentSecsSinceEpoch())), 60.0);
        const QString id = parsed["message_id"].toString();
        EXPECT_TRUE(QRegularExpression("^<[0-9a-f]{32}@example\\.test>$").match(id).hasMatch())
            << id.toStdString();
        ids << id;
    }
    EXPECT_NE(ids[0], ids[1]);

    // All ASCII: byte for byte the described message once the two lines are taken out.
    QByteArray described = "From:     Jane Sender <jane@example.test>\r\n"
                           "To:        <hostmaster@registry.test>\r\n"
                           "Subject:  example.com Internic DOMAIN Registration\r\n"
                           "Mime-Version: 1.0\r\n"
                           "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
                           "Content-Transfer-Encoding: 7bit\r\n"
                           "\r\n";
    described += ReadAll(dir.file("domains/example.com.txt")) + "\r\n";
    EXPECT_EQ(WithoutStamp(received[1].rawBytes), described);
}

TEST(Delivery, PythonsParserAndSpamAssassinAcceptAsciiAndInternationalMessages) {
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    const QString body = "Processed 8 Dec 2026\n\n1.  Registrant: M\u00fcller GmbH\n"
                         "2.  Street: Hauptstra\u00dfe 5\n.   Dot line\n";
    const QString ascii = "Processed 8 Dec 2026\n\n1.  Registrant: Example Inc\n.   Dot line\n";
    struct Case {
        QString name, subject, body;
    } cases[] = {
        {"Jane Sender", "example.com Internic DOMAIN Registration", ascii},
        {"J\u00fcrgen M\u00fcller", "b\u00fccher.example Internic DOMAIN Registration", body},
        {"Dr. J\u00fcrgen M\u00fcller-L\u00fcdenscheidt von \u00dcberlingen, Gesch\u00e4ftsf"
         "\u00fchrer der Stra\u00dfen- und Br\u00fcckenbau GmbH",
         "\u5927\u962a\u5e9c\u306e\u4f8b.example Internic DOMAIN Registration", body},
    };
    for (const Case& c : cases) {
        const ProcessResult r =
            RunCli({"send", "--server", server.Address(), "--from", "jane@example.org", "--name",
                    c.name, "--to", "hostmaster@example.net", "--subject", c.subject},
                   dir.path(), c.body.toUtf8());
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    }
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), std::size(cases));
    for (size_t n = 0; n < received.size(); ++n) {
        SCOPED_TRACE(cases[n].name.toStdString());
        ExpectJudgesAccept(received[n].rawBytes, cases[n].name, cases[n].subject, cases[n].body);
        // No header line passes 78 characters, and nothing but ASCII goes into the header.
        const QByteArray header =
            received[n].rawBytes.left(received[n].rawBytes.indexOf("\r\n\r\n"));
        for (const QByteArray& line : header.split('\n'))
            EXPECT_LE(line.size(), 79) << line.constData();
        EXPECT_FALSE(QString::fromLatin1(header).contains(QRegularExpression("[^\\x01-\\x7f]")));
    }
    EXPECT_TRUE(received[0].rawBytes.contains("charset=\"us-ascii\"\r\n"
                                              "Content-Transfer-Encoding: 7bit\r\n"));
    EXPECT_TRUE(received[1].rawBytes.contains("charset=\"utf-8\"\r\n"
                                              "Content-Transfer-Encoding: quoted-printable\r\n"));
}

TEST(Delivery, BlanksAndTabsAtLineEndsAndEveryDisplayNameReachReadersAsTyped) {
    const QString body = QString("Registrant: M\u00fcller  \n"
                                 "tab at the end\t\n"
                                 "   \n"
                                 "%1 \n"
                                 "%2  z\n"
                                 "equals at the end= \n"
                                 "last line \t \n")
                             .arg(QString(64, 'x'), QString(63, 'y'));
    const QString names[] = {"Roe, Jane",          "Jane \"JJ\" Roe", "C:\\Users\\jane",
                             "Jane  Roe",          "Jane Q. Public",  "M\u00fcller, J\u00fcrgen",
                             "<jane@example.org>", "=?UTF-8?B?SGk=?="};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const ProcessResult r = RunCli({"message", "--from", "jane@example.org", "--name", name,
                                        "--to", "hostmaster@example.net", "--subject", "x"},
                                       QString(), body.toUtf8());
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_TRUE(r.out.contains("\nRegistrant: M=C3=BCller =20\n"));
        const QJsonObject parsed = ParsedByPython(r.out);
        ASSERT_FALSE(parsed.isEmpty()) << "Python's parser did not run";
        EXPECT_TRUE(parsed["defects"].toArray().isEmpty())
            << QJsonDocument(parsed["defects"].toArray()).toJson().toStdString();
        EXPECT_EQ(parsed["from_name"].toString(), name);
        EXPECT_EQ(parsed["from_address"].toString(), "jane@example.org");
        EXPECT_EQ(parsed["body_strict"].toString().replace("\r\n", "\n"), body);
        EXPECT_EQ(parsed["body"].toString().replace("\r\n", "\n"), body);
    }
}

TEST(Delivery, AddressesThatWouldAddToTheCommandsAreRefusedBeforeAnyConnection) {
    ScopedWorkDir dir;
    uint16_t port = 0;
    const int listener = ListenOnLoopback(4, port);
    const QString server = "127.0.0.1:" + QString::number(port);
    const struct {
        const char* from;
        const char* to;
        const char* error;
    } cases[] = {
        {"jane@example.com> RET=HDRS ENVID=x", "h@example.net",
         "The address jane@example.com> RET=HDRS ENVID=x cannot be used: it holds \"<\" or "
         "\">\".\n"},
        {"jane@example.org", "h@example.net ENVID=x",
         "The address h@example.net ENVID=x cannot be used: it holds a blank.\n"},
        {"jane@example.com>", "h@example.net",
         "The address jane@example.com> cannot be used: it holds \"<\" or \">\".\n"},
        {"jane@example.org", "h@example.net,x@evil.example",
         "The address h@example.net,x@evil.example cannot be used: it holds \",\".\n"},
        {"j\u00fcrgen@example.org", "h@example.net",
         "The address j\u00fcrgen@example.org cannot be used: its part before \"@\" holds "
         "letters that are not ASCII.\n"},
        {"jane@example.org", "hostmaster",
         "The address hostmaster cannot be used: it is not of "
         "the form local@domain.\n"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = RunCli({"send", "--server", server, "--from", c.from, "--to", c.to},
                                       dir.path(), "body\n");
        EXPECT_EQ(r.exitCode, 1) << c.from;
        EXPECT_EQ(QString::fromUtf8(r.err), QString::fromUtf8(c.error));
        EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
        EXPECT_FALSE(SawConnection(listener)) << c.from << " " << c.to;
    }
    // The settings file's addresses too, through submit.
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(server, "jane@example.org (Jane)"));
    const ProcessResult r =
        RunCli({"--settings", dir.file("regiscribe.ini"), "submit", "host", "ns1.example.com"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The address jane@example.org (Jane) cannot be used: it holds a blank.\n");
    EXPECT_FALSE(SawConnection(listener));
    ::close(listener);
}

TEST(Delivery, AnInternationalDomainGoesOutAsItsALabel) {
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    const ProcessResult r =
        RunCli({"send", "--server", server.Address(), "--from", "jane@m\u00fcller.example", "--to",
                "Hostmaster <hostmaster@b\u00fccher.example>", "--subject", "x"},
               dir.path(), "body\n");
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].from, "jane@xn--mller-kva.example");
    EXPECT_EQ(received[0].to, QStringList{"hostmaster@xn--bcher-kva.example"});
    EXPECT_TRUE(received[0].rawBytes.startsWith(
        "From:      <jane@xn--mller-kva.example>\r\n"
        "To:       Hostmaster <hostmaster@xn--bcher-kva.example>\r\n"));
    EXPECT_TRUE(received[0].rawBytes.contains("@xn--mller-kva.example>\r\n"));
}

TEST(Delivery, AServerThatStreamsItsReplyIsCutOffWithinTheTimeOut) {
    // Fast: ten thousand continuation lines at once.
    QByteArray flood;
    for (int n = 0; n < 10000; ++n)
        flood += "220-still greeting you, line " + QByteArray::number(n) + "\n";
    ScriptedServer fast({}, ServerReply::Say(flood + "220 done"));
    QElapsedTimer clock;
    clock.start();
    ProcessResult r = RunCli({"send", "--server", "127.0.0.1:" + QString::number(fast.Port()),
                              "--timeout", "3", "--from", "a@example.org", "--to", "b@example.net"},
                             {}, "body\n");
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The server's reply is too long.\n");
    EXPECT_EQ(r.out, "Opening connection\nClosing connection\nConnection closed\n");

    // Slow: a line every 300 ms never lets one read time out, but the reply as a whole does.
    QByteArray trickle;
    for (int n = 0; n < 60; ++n)
        trickle += "220-line " + QByteArray::number(n) + "\n";
    ScriptedServer slow({}, ServerReply::Say(trickle + "220 done", 300));
    clock.restart();
    r = RunCli({"send", "--server", "127.0.0.1:" + QString::number(slow.Port()), "--timeout", "2",
                "--from", "a@example.org", "--to", "b@example.net"},
               {}, "body\n");
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Operation timed out.\n");
}

TEST(Delivery, TrustAnchorsThatCannotBeReadAreNamedBeforeAnyConnection) {
    ScopedWorkDir dir;
    uint16_t port = 0;
    const int listener = ListenOnLoopback(4, port);
    WriteAll(dir.file("garbage.pem"), "this is no certificate\n");
    const struct {
        QString file;
        QString reason;
    } cases[] = {{dir.file("missing.pem"), "No such file or directory"},
                 {dir.file("garbage.pem"), "it holds no PEM certificate"}};
    for (const auto& c : cases) {
        qputenv("REGISCRIBE_CA_FILE", c.file.toLocal8Bit());
        const ProcessResult r =
            RunCli({"send", "--server", "localhost:" + QString::number(port), "--security",
                    "starttls", "--from", "a@example.org", "--to", "b@example.net"},
                   dir.path(), "body\n");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(QString::fromUtf8(r.err),
                  "The trust anchors in " + c.file + " could not be read: " + c.reason + ".\n");
        EXPECT_FALSE(SawConnection(listener));
    }
    qunsetenv("REGISCRIBE_CA_FILE");
    ::close(listener);
}
