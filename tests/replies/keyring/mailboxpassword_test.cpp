// The mailbox password in a real Secret Service (gnome-keyring on a private session bus): found by
// the companion's check, kept when the server refuses it, apart from the mail server's password,
// and never written to a file.
#include "mail/keyring.h"
#include "replies/mailboxpassword.h"
#include "support/process.h"
#include "support/replykit.h"
#include "support/tempdir.h"
#include "support/testdovecot.h"

#include <gtest/gtest.h>

TEST(MailboxPassword, KeptWhenRefusedUsedWhenRightAndApartFromTheMailServers) {
    TestDovecot dovecot;
    ASSERT_TRUE(dovecot.Started()) << dovecot.Problem().toStdString();
    TrustTestAuthority trust(dovecot.Authority());
    ScopedWorkDir dir;
    const QString server = "localhost:" + QString::number(dovecot.TlsPort());
    KeepRegistration(dir.file("sent"), "domain", "a.example", "auto-dbm@ripe.net", "NEW",
                     QDateTime::currentDateTime());
    WriteAll(dir.file("regiscribe.ini"),
             "[Setup]\r\nUser=jane\r\n[Replies]\r\nServer=" + server.toUtf8() + "\r\n");
    const QStringList check{"--settings", dir.file("regiscribe.ini"), "replies", "--check"};

    // The same user on the same server text: the mail server's password is another entry.
    ASSERT_TRUE(StorePassword("jane", server, "smtp-secret").ok);
    ASSERT_TRUE(StoreMailboxPassword("jane", server, "old-imap-secret").Ok());
    EXPECT_EQ(ReadStoredPassword("jane", server), QString("smtp-secret"));

    const ProcessResult refused = RunCli(check, dir.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(refused.err),
              "The mailbox server " + server + " refused the user name jane or its password.\n");
    const Result<std::optional<QString>> kept = ReadMailboxPassword("jane", server);
    ASSERT_TRUE(kept.Ok()) << kept.Error().toStdString();
    EXPECT_EQ(kept.Value(), std::optional<QString>("old-imap-secret"));

    ASSERT_TRUE(StoreMailboxPassword("jane", server, TestDovecot::Password).Ok());
    const ProcessResult signedIn = RunCli(check, dir.path());
    EXPECT_EQ(signedIn.exitCode, 0) << signedIn.err.toStdString();
    EXPECT_TRUE(signedIn.out.endsWith("\tdomain\ta.example\twaiting\n")) << signedIn.out.data();

    ASSERT_TRUE(ClearMailboxPassword("jane", server).Ok());
    ASSERT_TRUE(ClearMailboxPassword("jane", server).Ok()); // nothing left to clear is fine
    EXPECT_EQ(ReadMailboxPassword("jane", server).Value(), std::nullopt);
    EXPECT_EQ(ReadStoredPassword("jane", server), QString("smtp-secret"));
    ClearStoredPassword("jane", server);
    const ProcessResult none = RunCli(check, dir.path());
    EXPECT_EQ(none.err, "No password for jane at " + server.toUtf8() + ".\n");
    EXPECT_EQ(FilesHolding(dir.path(), TestDovecot::Password), QStringList());
    EXPECT_EQ(FilesHolding(dir.path(), "old-imap-secret"), QStringList());
}
