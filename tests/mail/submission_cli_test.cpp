// regiscribe-cli submit end to end: the settings file's server, sender and mailbox, a real local
// SMTP server, the printed status lines, and the stops with their messages.
#include "mail/submission_server.h"
#include "mail/submissiontexts.h"
#include "support/mailsettings.h"
#include "support/process.h"
#include "support/tempdir.h"
#include "templates/templatefiles.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {} // namespace

TEST(CliSubmit, MailsTheTemplateWithTheSettingsFilesValuesAndPrintsEachStatus) {
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(server.Address()));

    ProcessResult r =
        RunCli({"--settings", dir.file("regiscribe.ini"), "submit", "domain", "example.com",
                "--set", "OOrgNameEdit=Example Inc", "--set", "AuthScheme=MAIL-FROM"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(OutputLines(r.out),
              (QStringList{"Opening connection", "Preparing message", "Sending message",
                           "Message has been sent", "Closing connection", "Connection closed",
                           "Your registratuion has been sent."}));

    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].from, "jane@example.test");
    EXPECT_EQ(received[0].to, QStringList{"hostmaster@registry.test"});
    EXPECT_EQ(received[0].subject, "example.com Internic DOMAIN Registration");
    EXPECT_TRUE(received[0].raw.contains("Jane Sender"));
    const QStringList lines = ReadTextLines(dir.file("domains/example.com.txt"));
    ASSERT_GE(received[0].bodyLines.size(), lines.size());
    EXPECT_EQ(received[0].bodyLines.mid(0, lines.size()), lines);
    EXPECT_TRUE(lines.join('\n').contains("Example Inc"));
    // A New record's name joins its list after the send.
    EXPECT_EQ(ReadAll(dir.file("domains.cbx")), "example.com\r\n");
}

TEST(CliSubmit, ARefusalIsTheErrorLineAndTheNameListStaysAsItWas) {
    ScopedWorkDir dir;
    LocalSmtpServer server(LocalSmtpServer::Options::RefusingRecipients());
    ASSERT_NE(server.Port(), 0);
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(server.Address()));

    ProcessResult r =
        RunCli({"--settings", dir.file("regiscribe.ini"), "submit", "host", "ns1.example.com"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "550 5.1.1 <hostmaster@registry.test>: Recipient address rejected: User unknown.\n");
    EXPECT_EQ(OutputLines(r.out),
              (QStringList{"Opening connection", "Preparing message", "Sending message",
                           "Closing connection", "Connection closed"}));
    EXPECT_TRUE(QFileInfo::exists(dir.file("hosts/ns1.example.com.txt")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("hosts.cbx")));
}

TEST(CliSubmit, StopsWithTheWindowsMessages) {
    ScopedWorkDir dir;
    WriteAll(dir.file("regiscribe.ini"), "[Setup]\r\nMailto=hostmaster@registry.test\r\n");
    const QString settings = dir.file("regiscribe.ini");

    ProcessResult r = RunCli({"--settings", settings, "submit", "domain", "example.com"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Server property is required.\n");
    EXPECT_TRUE(r.out.isEmpty());

    r = RunCli({"--settings", settings, "submit", "contact", "Jane Roe", "--set",
                "ContactAuthorizationType=PGP"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, (PgpSubmissionNotice() + "\n").toUtf8());
    EXPECT_TRUE(QFileInfo::exists(dir.file("contacts/Jane Roe.txt")));

    r = RunCli({"--settings", settings, "submit", "host", ""});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "You did not enter a host name on the TYPE tab.\n");
    EXPECT_FALSE(QFileInfo::exists(dir.file("hosts")));

    r = RunCli({"--settings", settings, "submit", "zone", "x"});
    EXPECT_EQ(r.exitCode, 2);
}
