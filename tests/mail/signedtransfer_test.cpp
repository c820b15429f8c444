// A signed template outside ASCII reaches a registry's robot as typed: 8bit through a server that
// offers 8BITMIME (a real Postfix, or aiosmtpd where Postfix cannot run), so that GnuPG calls the
// stored body good without any decoding; quoted-printable, and said so, where the server does not
// take 8-bit text. One form of an international name in the subject, the template and the copy.
#include "mail/postfix_server.h"
#include "mail/submission_server.h"
#include "support/gnupghome.h"
#include "support/mailsettings.h"
#include "support/process.h"
#include "support/scriptedserver.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>
#include <iostream>

namespace {
QByteArray SettingsFor(const QString& server, const QString& key) {
    return MailSettingsText(server, "jane@example.test", "J\u00fcrgen M\u00fcller") +
           "OpenPGP Key=" + key.toUtf8() + "\r\n";
}

QStringList SignedSubmit(const ScopedWorkDir& dir, const QString& name, ProcessResult& r) {
    const QStringList args{"--settings",
                           dir.file("regiscribe.ini"),
                           "submit",
                           "domain",
                           name,
                           "--set",
                           "AuthScheme=PGP",
                           "--set",
                           "OOrgNameEdit=Ren\u00e9e Lef\u00e8vre SARL",
                           "--set",
                           "AMailEdit=renee@b\u00fccher.example"};
    r = RunCli(args, dir.path());
    return OutputLines(r.out);
}

QByteArray Body(const QByteArray& message) {
    const qsizetype crlf = message.indexOf("\r\n\r\n"), lf = message.indexOf("\n\n");
    return crlf >= 0 && (lf < 0 || crlf < lf) ? message.mid(crlf + 4) : message.mid(lf + 2);
}
} // namespace

TEST(SignedTransfer, ASignedTemplateOutsideAsciiArrivesAsTypedAndItsRawBodyVerifies) {
    TestGnupgHome home;
    ASSERT_TRUE(home.Ready());
    const QString key = home.MakeKey("Ren\u00e9e Lef\u00e8vre <renee@example.test>");
    ASSERT_FALSE(key.isEmpty());
    ScopedWorkDir dir;
    QByteArray stored;
    {
        LocalPostfix postfix;
        std::optional<LocalSmtpServer> aiosmtpd;
        QString address = postfix.Address();
        if (postfix.Port() == 0) {
            std::cout << "[          ] Postfix cannot run here: aiosmtpd is the server\n";
            aiosmtpd.emplace();
            ASSERT_NE(aiosmtpd->Port(), 0);
            address = aiosmtpd->Address();
        }
        WriteAll(dir.file("regiscribe.ini"), SettingsFor(address, key));
        ProcessResult r;
        const QStringList out = SignedSubmit(dir, "b\u00fccher.example", r);
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        // No note: the text went as typed.
        EXPECT_EQ(out.back(), "Your registratuion has been sent.");
        if (aiosmtpd) {
            const auto received = aiosmtpd->Messages();
            ASSERT_EQ(received.size(), 1u);
            EXPECT_TRUE(received[0].mailOptions.contains("BODY=8BITMIME"));
            stored = received[0].rawBytes;
        } else {
            const QList<QByteArray> delivered = postfix.Delivered(1);
            ASSERT_EQ(delivered.size(), 1);
            stored = delivered[0];
        }
    }
    EXPECT_TRUE(stored.contains("\nContent-Type: text/plain; charset=\"utf-8\"\r\n"
                                "Content-Transfer-Encoding: 8bit\r\n") ||
                stored.contains("\nContent-Type: text/plain; charset=\"utf-8\"\n"
                                "Content-Transfer-Encoding: 8bit\n"));
    // The subject, the template and the copy carry the one form of the name.
    EXPECT_TRUE(stored.contains("\nSubject:  xn--bcher-kva.example Internic DOMAIN Registration"));
    const QByteArray body = Body(stored);
    EXPECT_TRUE(body.contains("2.  Complete Domain Name.......: xn--bcher-kva.example"));
    EXPECT_TRUE(body.contains("renee@xn--bcher-kva.example"));
    EXPECT_TRUE(body.contains("Ren\xc3\xa9"
                              "e Lef\xc3\xa8vre SARL"));
    EXPECT_FALSE(body.contains("=3D"));
    // The body as the mailbox stores it, undecoded, is what GnuPG checks.
    WriteAll(dir.file("stored-body.asc"), body);
    const QString report = home.Gpg({"--verify", dir.file("stored-body.asc")});
    EXPECT_TRUE(report.contains("Good signature from \"Ren\u00e9e Lef\u00e8vre"))
        << report.toStdString();
    const QStringList kept = QDir(dir.file("sent")).entryList({"*.eml"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept[0].endsWith("-domain-xn--bcher-kva.example.eml")) << kept[0].toStdString();
}

TEST(SignedTransfer, WhereTheServerTakesNoEightBitTheSignedTextGoesQuotedPrintableAndIsToldSo) {
    TestGnupgHome home;
    ASSERT_TRUE(home.Ready());
    const QString key = home.MakeKey("Jane Signer <jane@example.test>");
    ASSERT_FALSE(key.isEmpty());
    // One server lists no 8BITMIME; the other refuses EHLO and gets the described HELO.
    const ScriptedServer::Script scripts[] = {
        [](const QByteArray& command) {
            return command.startsWith("EHLO ")
                       ? ServerReply::Say("250-sink.test\n250 SIZE 10240000")
                       : ScriptedServer::Usual(command);
        },
        [](const QByteArray& command) {
            return command.startsWith("EHLO ") ? ServerReply::Say("502 5.5.1 not here")
                                               : ScriptedServer::Usual(command);
        },
    };
    for (const auto& script : scripts) {
        ScopedWorkDir dir;
        ScriptedServer server(script);
        WriteAll(dir.file("regiscribe.ini"),
                 SettingsFor("127.0.0.1:" + QString::number(server.Port()), key));
        ProcessResult r;
        const QStringList out = SignedSubmit(dir, "example.com", r);
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_EQ(out.back(), "Sent; the signed text went quoted-printable, as the server does "
                              "not offer 8BITMIME. A robot must decode it before checking the "
                              "signature.");
        const QByteArrayList commands = server.Commands();
        ASSERT_GE(commands.size(), 2);
        EXPECT_TRUE(commands[0].startsWith("EHLO "));
        EXPECT_TRUE(commands.contains("MAIL FROM:<jane@example.test>"))
            << commands.join('|').constData();
        EXPECT_TRUE(server.Data().contains("charset=\"utf-8\"\r\n"
                                           "Content-Transfer-Encoding: quoted-printable\r\n"));
    }
}
