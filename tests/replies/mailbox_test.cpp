// Checks for replies against a real Dovecot on loopback, its mailbox holding the robots' replies
// rewritten to quote registrations this test sent.
#include "replies/replycheck.h"
#include "replies/replyreading.h"
#include "support/process.h"
#include "support/replykit.h"
#include "support/tempdir.h"
#include "support/testdovecot.h"

#include <QDir>
#include <QLocale>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QDateTime kNow = QDateTime::currentDateTime();

class ReplyMailbox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dovecot_.Started()) << dovecot_.Problem().toStdString(); }

    QString SentFolder() const { return dir_.file("sent"); }

    MailboxEndpoint Mailbox(bool implicitTls = true) const {
        const int port = implicitTls ? dovecot_.TlsPort() : dovecot_.PlainPort();
        return {"localhost:" + QString::number(port),
                "localhost",
                port,
                implicitTls,
                TestDovecot::User,
                "INBOX"};
    }

    Result<ReplyCheckOutcome> Check(const QString& password = TestDovecot::Password) {
        return CheckForReplies({SentFolder(), Mailbox(), password}, CancelToken());
    }

    SentRegistration Keep(const QString& kind, const QString& name, const QString& recipient,
                          const QString& subject, const QDateTime& when = kNow.addSecs(-3600)) {
        return KeepRegistration(SentFolder(), kind, name, recipient, subject, when);
    }

    // Every message's UID and flags as Python's IMAP client sees them.
    QStringList Flags() const {
        const ProcessResult r = RunProgram(
            "/usr/bin/python3", {QString(TESTS_SOURCE_DIR) + "/replies/imap_flags.py",
                                 QString::number(dovecot_.TlsPort()), dovecot_.Authority(),
                                 TestDovecot::User, TestDovecot::Password});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    }

    QList<QByteArray> LogLines() const {
        return ReadAll(SentFolder() + "/replies.log").split('\n');
    }

    TestDovecot dovecot_;
    ScopedWorkDir dir_;
    TrustTestAuthority trust_{dovecot_.Authority()};
};

// The commands of one signed-in session of the raw log (sessions are separated by LOGOUT).
QList<QStringList> Sessions(const QStringList& commands) {
    QList<QStringList> sessions{{}};
    for (const QString& command : commands) {
        sessions.back() << command.section(' ', 1);
        if (command.section(' ', 1, 1).toUpper() == "LOGOUT") sessions << QStringList();
    }
    sessions.removeLast();
    return sessions;
}

// The UIDs that the FETCH commands of a session name.
QList<quint32> FetchedUids(const QStringList& session) {
    QList<quint32> uids;
    for (const QString& command : session) {
        if (!command.startsWith("UID FETCH ")) continue;
        for (const QString& range : command.section(' ', 2, 2).split(',')) {
            const quint32 from = range.section(':', 0, 0).toUInt();
            const quint32 to = range.contains(':') ? range.section(':', 1, 1).toUInt() : from;
            for (quint32 uid = from; uid <= to; ++uid)
                uids << uid;
        }
    }
    return uids;
}

QString SinceWord(const QDateTime& when) {
    return QLocale::c().toString(when.toUTC().date().addDays(-1), "d-MMM-yyyy");
}

QByteArray Filler(int n) {
    return Mail({"From: news@lists.example", "Subject: Newsletter " + QString::number(n),
                 "Message-ID: <news" + QString::number(n) + "@lists.example>"},
                {"Nothing to do with registrations."});
}
} // namespace

TEST_F(ReplyMailbox, EachReplyFindsItsRegistrationWithItsVerdictAndNoFlagChanges) {
    const SentRegistration reverse =
        Keep("domain", "0.0.193.in-addr.arpa", "auto-dbm@ripe.net", "NEW");
    const SentRegistration mntner =
        Keep("contact", "DEL-MNT", "auto-dbm@ripe.net", "delete MNTNER DEL-MNT");
    const SentRegistration threeObjects =
        Keep("contact", "PERSON-TEST", "auto-dbm@radb.net", "my subject");
    const SentRegistration person =
        Keep("contact", "PERSON-TEST", "auto-dbm@radb.net", "PERSON-TEST");
    const SentRegistration host = Keep("host", "ns1.example.com", "hostmaster@internic.net",
                                       "ns1.example.com Internic HOST Registration");
    // Answered by subject only, within the week the processor's answer is dated in.
    const SentRegistration poc =
        Keep("contact", "KOSTN7", "hostmaster@arin.net", "KOSTN7 Internic CONTACT Registration",
             QDateTime(QDate(2024, 6, 3), QTime(13, 55), Qt::OffsetFromUTC, -4 * 3600));

    const QDateTime arrived = kNow.addSecs(-600);
    dovecot_.Deliver(QuotingId("ripe-success-create-and-noop.eml", reverse.messageId), arrived);
    dovecot_.Deliver(QuotingId("ripe-failed-delete-auth.eml", mntner.messageId), arrived, "S");
    dovecot_.Deliver(QuotingId("irrd-success-three-creates.eml", threeObjects.messageId), arrived,
                     "F");
    dovecot_.Deliver(QuotingId("irrd-failed-auth-single.eml", person.messageId), arrived, "RS");
    // The registry robot's acknowledgement, then its completion notice naming only the number.
    const QString robotDate = QLocale::c().toString(arrived, "ddd, d MMM yyyy HH:mm:ss") + " +0000";
    dovecot_.Deliver(Mail({"From: NIC Registration Robot <hostmaster@internic.net>",
                           "Date: " + robotDate, "Message-ID: <ack1@rs.internic.net>",
                           "Subject: Re: NEW HOST ns1.example.com [NIC-261209.17]"},
                          {"Your request has been assigned tracking number NIC-261209.17."}),
                     arrived);
    dovecot_.Deliver(
        Mail({"From: NIC Registration Robot <hostmaster@internic.net>", "Date: " + robotDate,
              "Message-ID: <done1@rs.internic.net>", "Subject: Notice"},
             {"Request NIC-261209.17 has been completed."}),
        arrived.addSecs(60), "S");
    dovecot_.Deliver(AnsweringSubject("arin-poc-approved.eml", poc.subject), arrived);
    // Left alone: a notification, and an acknowledgement of somebody else's registration.
    dovecot_.Deliver(SampleText("ripe-notification-created.eml"), arrived);
    dovecot_.Deliver(SampleText("ripe-success-delete-mntner.eml"), arrived, "F");
    const QStringList flagsBefore = Flags();
    ASSERT_EQ(flagsBefore.size(), 9);

    const Result<ReplyCheckOutcome> outcome = Check();
    ASSERT_TRUE(outcome.Ok()) << outcome.Error().toStdString();
    EXPECT_TRUE(outcome->mailboxRead);
    EXPECT_EQ(outcome->fetched, 9);
    EXPECT_EQ(Flags(), flagsBefore); // nothing marked read

    const Result<std::vector<RegistrationState>> states = ReadRegistrationStates(SentFolder());
    ASSERT_TRUE(states.Ok());
    ASSERT_EQ(states->size(), 6u);
    auto lines = [&](size_t i) {
        QStringList shown;
        const Result<ReplyReading> reading =
            ReadKeptReply(SentFolder(), states->at(i).replies.back());
        EXPECT_TRUE(reading.Ok()) << reading.Error().toStdString();
        for (const VerdictLine& line : VerdictLines(reading.Value()))
            shown << QString(line.depth * 2, ' ') + line.text;
        return shown;
    };
    EXPECT_EQ(states->at(0).StatusText(kNow), "done");
    EXPECT_EQ(lines(0), (QStringList{"Create SUCCEEDED: [domain] 0.0.193.in-addr.arpa",
                                     "No operation: [domain] 0.0.193.in-addr.arpa"}));
    EXPECT_EQ(states->at(1).StatusText(kNow), "refused");
    EXPECT_EQ(lines(1), (QStringList{"Delete FAILED: [mntner] DEL-MNT",
                                     "  Authorisation for [mntner] DEL-MNT failed using "
                                     "\"mnt-by:\" not authenticated by: DEL-MNT"}));
    EXPECT_EQ(states->at(2).StatusText(kNow), "done");
    EXPECT_EQ(lines(2), (QStringList{"Create succeeded: [person] PERSON-TEST",
                                     "Create succeeded: [mntner] TEST-MNT",
                                     "Create succeeded: [inetnum] 80.16.151.184 - 80.16.151.191"}));
    EXPECT_EQ(states->at(3).StatusText(kNow), "refused");
    EXPECT_EQ(lines(3), (QStringList{"Create FAILED: [person] PERSON-TEST",
                                     "  Authorisation for person PERSON-TEST failed: must be "
                                     "authenticated by one of: TEST-MNT"}));
    EXPECT_EQ(states->at(4).StatusText(kNow), "done");
    ASSERT_EQ(states->at(4).replies.size(), 2u);
    EXPECT_EQ(StatusWord(states->at(4).replies[0].verdict), "received");
    EXPECT_EQ(states->at(4).numbers, QStringList{"NIC-261209.17"});
    EXPECT_EQ(states->at(5).StatusText(kNow), "done");

    // One log line per reply, with the text kept as the server holds it.
    const QList<QByteArray> log = LogLines();
    ASSERT_EQ(log.size(), 8); // seven lines and the last line end
    auto fieldsOf = [&](const SentRegistration& r) {
        QList<QList<QByteArray>> lines;
        for (const QByteArray& line : log)
            if (line.startsWith(r.messageId.toUtf8() + '\t')) lines << line.split('\t');
        return lines;
    };
    ASSERT_EQ(fieldsOf(mntner).size(), 1);
    const QList<QByteArray> refused = fieldsOf(mntner)[0];
    ASSERT_EQ(refused.size(), 6);
    EXPECT_EQ(refused[1], "<1838201957.46.1796389967031@busa.ripe.net>");
    EXPECT_EQ(QDateTime::fromString(QString::fromUtf8(refused[2]), Qt::ISODate),
              QDateTime(QDate(2026, 12, 9), QTime(13, 12, 47), Qt::UTC));
    EXPECT_EQ(refused[3], "refused");
    EXPECT_EQ(refused[4], "-");
    EXPECT_TRUE(refused[5].startsWith("replies/")) << refused[5].toStdString();
    EXPECT_EQ(ReadAll(SentFolder() + "/" + QString::fromUtf8(refused[5])),
              QuotingId("ripe-failed-delete-auth.eml", mntner.messageId));
    const QList<QList<QByteArray>> robot = fieldsOf(host);
    ASSERT_EQ(robot.size(), 2);
    EXPECT_EQ(robot[0][1] + ' ' + robot[0][3] + ' ' + robot[0][4],
              "<ack1@rs.internic.net> received NIC-261209.17");
    EXPECT_EQ(robot[1][1] + ' ' + robot[1][3] + ' ' + robot[1][4],
              "<done1@rs.internic.net> done NIC-261209.17");
    // The files are the user's alone.
    EXPECT_EQ(QFileInfo(SentFolder() + "/replies.log").permissions() & 0x0077, 0);
    EXPECT_EQ(QFileInfo(SentFolder() + "/replies").permissions() & 0x0077, 0);

    // A check with nothing new finds nothing and keeps the log as it was.
    const Result<ReplyCheckOutcome> again = Check();
    ASSERT_TRUE(again.Ok());
    EXPECT_EQ(again->fetched, 0);
    EXPECT_EQ(LogLines(), log);
}

TEST_F(ReplyMailbox, TenThousandMessagesAreSearchedOnceAndReadOnlyAboveTheLastUid) {
    const SentRegistration r1 = Keep("domain", "a.example", "auto-dbm@ripe.net", "NEW");
    const SentRegistration r2 = Keep("domain", "b.example", "auto-dbm@ripe.net", "NEW");
    const SentRegistration r3 = Keep("domain", "c.example", "auto-dbm@ripe.net", "NEW");
    const SentRegistration r4 = Keep("domain", "d.example", "auto-dbm@ripe.net", "NEW");
    Keep("domain", "never-answered.example", "auto-dbm@ripe.net", "NEW");
    // 5,000 older than any registration waiting (SINCE leaves them out), then 4,997 others and
    // three replies that came after.
    const QDateTime old = kNow.addDays(-5);
    for (int n = 0; n < 5000; ++n)
        dovecot_.Deliver(Filler(n), old.addSecs(n), "S");
    for (int n = 5000; n < 7500; ++n)
        dovecot_.Deliver(Filler(n), kNow.addSecs(-1800 + n / 10));
    dovecot_.Deliver(QuotingId("ripe-success-delete-maintainer.eml", r1.messageId),
                     kNow.addSecs(-1000));
    dovecot_.Deliver(QuotingId("ripe-failed-domain-zonemaster.eml", r2.messageId),
                     kNow.addSecs(-999));
    for (int n = 7500; n < 9997; ++n)
        dovecot_.Deliver(Filler(n), kNow.addSecs(-900 + n / 10));
    dovecot_.Deliver(QuotingId("irrd-success-create-modify.eml", r3.messageId), kNow.addSecs(-1));

    const Result<ReplyCheckOutcome> first = Check();
    ASSERT_TRUE(first.Ok()) << first.Error().toStdString();
    EXPECT_EQ(first->fetched, 5000);
    ASSERT_EQ(first->found.size(), 3u);
    EXPECT_EQ(first->found[0].registration.messageId, r1.messageId);
    EXPECT_EQ(first->found[1].entry.verdict, ReplyStatus::Refused);
    EXPECT_EQ(first->found[2].registration.messageId, r3.messageId);

    // A fourth reply arrives; the next check asks for the UIDs above the last one only.
    dovecot_.Deliver(QuotingId("ripe-success-create-and-noop.eml", r4.messageId), kNow);
    const Result<ReplyCheckOutcome> second = Check();
    ASSERT_TRUE(second.Ok()) << second.Error().toStdString();
    EXPECT_EQ(second->fetched, 1);
    ASSERT_EQ(second->found.size(), 1u);
    EXPECT_EQ(second->found[0].registration.messageId, r4.messageId);
    // And with nothing new, nothing is fetched at all.
    ASSERT_TRUE(Check().Ok());

    const QList<QStringList> sessions = Sessions(dovecot_.RawCommands());
    ASSERT_EQ(sessions.size(), 3);
    const QString since = "UID SEARCH SINCE " + SinceWord(r1.when);
    // (Searched in windows of UIDs up to the next one the folder will give.)
    EXPECT_EQ(sessions[0].filter("UID SEARCH"), QStringList{since + " UID 1:10000"});
    QList<quint32> expected;
    for (quint32 uid = 5001; uid <= 10000; ++uid)
        expected << uid;
    EXPECT_EQ(FetchedUids(sessions[0]), expected);
    EXPECT_EQ(sessions[1].filter("UID SEARCH"), QStringList{since + " UID 10001:20000"});
    EXPECT_EQ(FetchedUids(sessions[1]), QList<quint32>{10001});
    EXPECT_EQ(sessions[2].filter("UID SEARCH"), QStringList{since + " UID 10002:20001"});
    EXPECT_EQ(sessions[2].filter("FETCH"), QStringList());
    // No FETCH asks for more than four messages, nor a text piece beyond 256 KiB.
    for (const QString& command : sessions[0].filter("UID FETCH"))
        EXPECT_LE(command.section(' ', 2, 2).count(',') + command.section(' ', 2, 2).count(':'), 3)
            << command.toStdString();
    // No command of any session may set a flag or read a body without PEEK.
    for (const QStringList& session : sessions)
        for (const QString& command : session) {
            EXPECT_FALSE(command.contains("STORE", Qt::CaseInsensitive)) << command.toStdString();
            EXPECT_FALSE(command.contains("BODY[", Qt::CaseInsensitive)) << command.toStdString();
        }
}

TEST_F(ReplyMailbox, LongHeadersAndTextsAreReadUpToTheirLimitsAndKeptAsTheyCame) {
    const SentRegistration reverse =
        Keep("domain", "2.0.192.in-addr.arpa", "auto-dbm@ripe.net", "reverse 192.0.2.0/24");
    const SentRegistration objects =
        Keep("contact", "TEST-MNT", "auto-dbm@radb.net", "new objects");
    Keep("domain", "never-answered.example", "auto-dbm@ripe.net", "NEW");
    // A reply with 300 KiB more text than the robot wrote: kept up to 256 KiB of its text.
    QByteArray longText = QuotingId("ripe-failed-domain-zonemaster.eml", reverse.messageId);
    for (int n = 0; longText.size() < 320 * 1024; ++n)
        longText += "A line that the robot did not write, number " + QByteArray::number(n) + "\r\n";
    // A reply behind 40 KiB of trace fields: kept whole.
    QByteArray trace;
    for (int n = 0; trace.size() < 40 * 1024; ++n)
        trace += "Received: from relay" + QByteArray::number(n) +
                 ".example.net (relay.example.net [192.0.2.7]) by mx.example.org\r\n";
    const QByteArray longHeader = trace + QuotingId("irrd-failed-cascading.eml", objects.messageId);
    // And messages of nobody's: 20 KiB headers, texts of one 200 KiB line.
    const QByteArray oneLine = "Subject: one line\r\nFrom: x@lists.example\r\n" +
                               trace.left(20 * 1024) + "\r\n" + QByteArray(200 * 1024, 'x');
    for (int n = 0; n < 6; ++n)
        dovecot_.Deliver(oneLine, kNow.addSecs(-100 + n));
    dovecot_.Deliver(longText, kNow.addSecs(-50));
    dovecot_.Deliver(longHeader, kNow.addSecs(-40));

    const Result<ReplyCheckOutcome> outcome = Check();
    ASSERT_TRUE(outcome.Ok()) << outcome.Error().toStdString();
    EXPECT_EQ(outcome->fetched, 8);
    ASSERT_EQ(outcome->found.size(), 2u);
    const qsizetype textStart = longText.indexOf("\r\n\r\n") + 4;
    EXPECT_EQ(ReadAll(SentFolder() + "/" + outcome->found[0].entry.file),
              longText.left(textStart + 256 * 1024));
    EXPECT_EQ(ReadAll(SentFolder() + "/" + outcome->found[1].entry.file), longHeader);
    EXPECT_EQ(outcome->found[0].entry.verdict, ReplyStatus::Refused);
    EXPECT_EQ(outcome->found[1].entry.verdict, ReplyStatus::Refused);
    const Result<ReplyReading> kept = ReadKeptReply(SentFolder(), outcome->found[0].entry);
    ASSERT_TRUE(kept.Ok());
    ASSERT_EQ(kept->verdict.objects.size(), 1u);
    EXPECT_EQ(kept->verdict.objects[0].errors.size(), 4);
}

TEST_F(ReplyMailbox, RenumberedFolderIsReadAgainWithoutKeepingARepliesTwice) {
    const SentRegistration r = Keep("domain", "a.example", "auto-dbm@ripe.net", "NEW");
    Keep("domain", "never-answered.example", "auto-dbm@ripe.net", "NEW");
    dovecot_.Deliver(QuotingId("ripe-success-delete-maintainer.eml", r.messageId),
                     kNow.addSecs(-60));
    // What a check under another UIDVALIDITY left behind: a last UID far above every one here.
    const QString key = "imap://jane@localhost:" + QString::number(dovecot_.TlsPort()) + "/INBOX";
    QDir().mkpath(SentFolder());
    WriteAll(SentFolder() + "/replies.state", key.toUtf8() + "\t17\t999999\n");
    const Result<ReplyCheckOutcome> first = Check();
    ASSERT_TRUE(first.Ok()) << first.Error().toStdString();
    EXPECT_EQ(first->found.size(), 1u);
    const QList<QByteArray> state = ReadAll(SentFolder() + "/replies.state").trimmed().split('\t');
    ASSERT_EQ(state.size(), 3);
    EXPECT_NE(state[1], "17");
    EXPECT_EQ(state[2], "1");

    WriteAll(SentFolder() + "/replies.state", key.toUtf8() + "\t17\t999999\n");
    const Result<ReplyCheckOutcome> again = Check();
    ASSERT_TRUE(again.Ok());
    EXPECT_EQ(again->fetched, 1);
    EXPECT_TRUE(again->found.empty());
    EXPECT_EQ(LogLines().size(), 2);
}

TEST_F(ReplyMailbox, NothingWaitingAsksNothingAndRefusalsAreToldInOneSentence) {
    // No registration waits: the mailbox is not asked.
    const Result<ReplyCheckOutcome> idle = Check();
    ASSERT_TRUE(idle.Ok());
    EXPECT_FALSE(idle->mailboxRead);

    Keep("domain", "a.example", "auto-dbm@ripe.net", "NEW");
    const QString server = "localhost:" + QString::number(dovecot_.TlsPort());
    const Result<ReplyCheckOutcome> wrong = Check("not-the-password");
    ASSERT_FALSE(wrong.Ok());
    EXPECT_EQ(wrong.Error(),
              "The mailbox server " + server + " refused the user name jane or its password.");

    MailboxEndpoint missing = Mailbox();
    missing.folder = "Registry";
    const Result<ReplyCheckOutcome> noFolder =
        CheckForReplies({SentFolder(), missing, TestDovecot::Password}, CancelToken());
    EXPECT_EQ(noFolder.Error(), "The folder Registry could not be opened on " + server + ".");

    const Result<QString> test = TestMailbox(Mailbox(false), TestDovecot::Password, CancelToken());
    EXPECT_EQ(test.ValueOr(test.Error()),
              "Signed in to localhost:" + QString::number(dovecot_.PlainPort()) +
                  " as jane; folder INBOX holds 0 messages.");
}

TEST(ReplyServer, CertificateOfAnAuthorityNotTrustedIsRefused) {
    TestDovecot dovecot;
    ASSERT_TRUE(dovecot.Started()) << dovecot.Problem().toStdString();
    ScopedWorkDir dir;
    KeepRegistration(dir.file("sent"), "domain", "a.example", "auto-dbm@ripe.net", "NEW", kNow);
    const MailboxEndpoint mailbox{"localhost", "localhost", dovecot.TlsPort(),
                                  true,        "jane",      "INBOX"};
    const Result<ReplyCheckOutcome> outcome =
        CheckForReplies({dir.file("sent"), mailbox, TestDovecot::Password}, CancelToken());
    EXPECT_EQ(outcome.Error(),
              "The server's certificate was not accepted: issued by an authority that is not "
              "trusted.");
    // (The fixture looked at both of its ports first.)
    EXPECT_FALSE(dovecot.LogOnceItHolds("imap-login:", 3).contains("user=<jane>"));
}

TEST(ReplyServer, ServerWithoutTlsIsRefusedBeforeAnyPassword) {
    TestDovecot plain(false);
    ASSERT_TRUE(plain.Started()) << plain.Problem().toStdString();
    ScopedWorkDir dir;
    KeepRegistration(dir.file("sent"), "domain", "a.example", "auto-dbm@ripe.net", "NEW", kNow);
    const QString server = "127.0.0.1:" + QString::number(plain.PlainPort());
    for (bool implicitTls : {true, false}) {
        const MailboxEndpoint mailbox{server,      "127.0.0.1", plain.PlainPort(),
                                      implicitTls, "jane",      "INBOX"};
        const Result<ReplyCheckOutcome> outcome =
            CheckForReplies({dir.file("sent"), mailbox, TestDovecot::Password}, CancelToken());
        ASSERT_FALSE(outcome.Ok());
        if (implicitTls)
            EXPECT_TRUE(outcome.Error().startsWith("No secure connection to " + server +
                                                   " could be made, so no password was sent ("))
                << outcome.Error().toStdString();
        else
            EXPECT_EQ(outcome.Error(), "The server " + server +
                                           " does not offer STARTTLS, so no password was sent.");
    }
    // The server's own word: our two connections (and the fixture's look whether the port was
    // open), none of which signed in or tried to.
    const QStringList log =
        plain.LogOnceItHolds("imap-login:", 3).split('\n').filter("imap-login:");
    ASSERT_EQ(log.size(), 3) << plain.Log().toStdString();
    for (const QString& line : log) {
        EXPECT_TRUE(line.contains("Disconnected") && line.contains("user=<>,"))
            << line.toStdString();
        EXPECT_FALSE(line.contains("auth failed")) << line.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.file("sent/replies.state")));
}
