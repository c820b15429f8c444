// The "Replies" section: its defaults, what is refused before any connection, and a file that
// keeps its other bytes when the section is written.
#include "replies/replysettings.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

TEST(ReplySettings, DefaultsAndTheMailboxTheyName) {
    ScopedWorkDir dir;
    WriteAll(dir.file("r.ini"), "[Setup]\r\nServer=smtp.example.org\r\nUser=jane\r\n"
                                "[Replies]\r\nServer=imap.example.org\r\nCheck=soon\r\n");
    const ReplySettings s = ReadReplySettings(dir.file("r.ini"));
    EXPECT_EQ(s.checkMinutes, 10);
    const Result<MailboxEndpoint> tls = MailboxEndpointOf(s);
    ASSERT_TRUE(tls.Ok()) << tls.Error().toStdString();
    EXPECT_EQ(tls->host, "imap.example.org");
    EXPECT_EQ(tls->port, 993);
    EXPECT_TRUE(tls->implicitTls);
    EXPECT_EQ(tls->user, "jane"); // the mail server's user
    EXPECT_EQ(tls->folder, "INBOX");

    ReplySettings starttls = s;
    starttls.security = "starttls";
    starttls.user = "replies";
    EXPECT_EQ(MailboxEndpointOf(starttls)->port, 143);
    EXPECT_FALSE(MailboxEndpointOf(starttls)->implicitTls);
    EXPECT_EQ(MailboxEndpointOf(starttls)->user, "replies");
    starttls.server = "[2001:db8::1]:1143";
    EXPECT_EQ(MailboxEndpointOf(starttls)->host, "2001:db8::1");
    EXPECT_EQ(MailboxEndpointOf(starttls)->port, 1143);

    ReplySettings plain = s;
    plain.security = "None";
    EXPECT_EQ(MailboxEndpointOf(plain).Error(),
              "Replies are read over TLS or STARTTLS only, not \"None\".");
    ReplySettings bent = s;
    bent.server = "evil.example/INBOX@imap.example.org";
    EXPECT_EQ(MailboxEndpointOf(bent).Error(),
              "The mailbox server \"evil.example/INBOX@imap.example.org\" is not a host or "
              "host:port.");
    ReplySettings nobody = s;
    nobody.smtpUser.clear();
    EXPECT_EQ(MailboxEndpointOf(nobody).Error(),
              "No user is set for the mailbox imap.example.org.");
    EXPECT_EQ(MailboxEndpointOf(ReplySettings{}).Error(),
              "No mailbox is set up for replies (Setup > Security..., Replies).");

    for (const auto& [text, minutes] :
         {std::pair{"0", 0}, {"-5", 0}, {"90", 90}, {"99999", 10080}}) {
        WriteAll(dir.file("c.ini"), QByteArray("[Replies]\r\nCheck=") + text + "\r\n");
        EXPECT_EQ(ReadReplySettings(dir.file("c.ini")).checkMinutes, minutes) << text;
    }
    // The period of the checks: minutes, or the seconds a trial gives instead; checks only on
    // request stay so whatever the seconds say.
    for (const auto& [keys, ms] : {std::pair{"Check=1", qint64(60000)},
                                   {"Check=0\r\nCheck Seconds=2", 0},
                                   {"Check=1\r\nCheck Seconds=2", 2000},
                                   {"Check Seconds=-3", 600000},
                                   {"Check Seconds=soon", 600000}}) {
        WriteAll(dir.file("p.ini"), QByteArray("[Replies]\r\n") + keys + "\r\n");
        EXPECT_EQ(ReadReplySettings(dir.file("p.ini")).CheckPeriodMs(), ms) << keys;
    }
    // The dialog's minutes never write the trial's seconds.
    WriteAll(dir.file("p.ini"), "[Replies]\r\nServer=a\r\nCheck Seconds=2\r\n");
    ReplySettings trial = ReadReplySettings(dir.file("p.ini"));
    trial.checkMinutes = 5;
    WriteReplySettings(dir.file("p.ini"), trial);
    EXPECT_EQ(ReadAll(dir.file("p.ini")),
              "[Replies]\r\nServer=a\r\nCheck Seconds=2\r\nCheck=5\r\n");
}

TEST(ReplySettings, WrittenKeysOnlyWhereTheyDifferFromTheirDefault) {
    ScopedWorkDir dir;
    const QByteArray before = "; mine\r\n[Setup]\r\nServer=smtp.example.org\r\n";
    WriteAll(dir.file("r.ini"), before);
    ReplySettings s;
    WriteReplySettings(dir.file("r.ini"), s);
    EXPECT_EQ(ReadAll(dir.file("r.ini")), before);

    s.server = "imap.example.org";
    s.folder = "Registry";
    WriteReplySettings(dir.file("r.ini"), s);
    EXPECT_EQ(ReadAll(dir.file("r.ini")),
              before + "[Replies]\r\nServer=imap.example.org\r\nFolder=Registry\r\n");
    s.checkMinutes = 0;
    s.folder.clear();
    WriteReplySettings(dir.file("r.ini"), s);
    EXPECT_EQ(ReadAll(dir.file("r.ini")),
              before + "[Replies]\r\nServer=imap.example.org\r\nFolder=\r\nCheck=0\r\n");
}
