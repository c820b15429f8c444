// regiscribe-cli replies: the verdict of every saved sample, and checks of a real mailbox.
#include "support/process.h"
#include "support/replykit.h"
#include "support/tempdir.h"
#include "support/testdovecot.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {
QString Iso(const QDateTime& when) {
    const QDateTime local = when.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// The objects of a JSON answer with the keys the index knows.
QJsonArray IndexKeys(const QJsonArray& objects) {
    QJsonArray kept;
    for (const QJsonValue& value : objects) {
        const QJsonObject o = value.toObject();
        kept.append(
            QJsonObject{{"line", o["line"]}, {"result", o["result"]}, {"errors", o["errors"]}});
    }
    return kept;
}
} // namespace

TEST(RepliesCli, EverySavedSampleGivesItsVerdictWithoutAMailbox) {
    for (const ReplySample& s : ReplySamples()) {
        SCOPED_TRACE(s.file.toStdString());
        const ProcessResult text = RunCli({"replies", "--file", SamplePath(s.file)});
        EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
        const QString first = QString::fromUtf8(text.out).section('\n', 0, 0);
        EXPECT_EQ(first,
                  s.file == "arin-net-delete-ticketed.eml" ? "received 20240603-X4420" : s.verdict);
        const ProcessResult json = RunCli({"replies", "--file", SamplePath(s.file), "--json"});
        const QJsonObject answer = QJsonDocument::fromJson(json.out).object();
        EXPECT_EQ(answer["status"].toString(), s.verdict);
        EXPECT_EQ(IndexKeys(answer["objects"].toArray()), s.objects);
    }
    const ProcessResult shown =
        RunCli({"replies", "--file", SamplePath("ripe-failed-domain-inside-existing.eml")});
    EXPECT_EQ(QString::fromUtf8(shown.out),
              "refused\n"
              "\tCreate FAILED: [domain] 0-127.0.0.193.in-addr.arpa\n"
              "\t\tExisting less specific domain object found 193.0.0.0/24\n");

    ScopedWorkDir dir;
    const ProcessResult missing = RunCli({"replies", "--file", dir.file("none.eml")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.startsWith("The file " + dir.file("none.eml").toUtf8() +
                                       " could not be read: "))
        << missing.err.toStdString();
    EXPECT_EQ(missing.err.count('\n'), 1);
}

TEST(RepliesCli, CheckListsEveryRegistrationWithItsStatusAndTellsFailuresInOneLine) {
    TestDovecot dovecot;
    ASSERT_TRUE(dovecot.Started()) << dovecot.Problem().toStdString();
    TrustTestAuthority trust(dovecot.Authority());
    ScopedWorkDir dir;
    const QString sent = dir.file("sent");
    const QDateTime now = QDateTime::currentDateTime();
    const SentRegistration waiting = KeepRegistration(sent, "domain", "old.example",
                                                      "auto-dbm@ripe.net", "NEW", now.addDays(-2));
    const SentRegistration answered = KeepRegistration(
        sent, "domain", "0.0.193.in-addr.arpa", "auto-dbm@ripe.net", "NEW", now.addSecs(-600));
    dovecot.Deliver(QuotingId("ripe-success-create-and-noop.eml", answered.messageId), now);

    WriteAll(dir.file("regiscribe.ini"),
             "[Setup]\r\nServer=mail.example.org\r\nUser=jane\r\n[Replies]\r\nServer=localhost:" +
                 QByteArray::number(dovecot.TlsPort()) + "\r\nSecurity=TLS\r\n");
    const QStringList settings{"--settings", dir.file("regiscribe.ini"), "replies"};

    // Before the check, both wait; the one sent two days ago says so.
    const QString before = Iso(answered.when) + "\tdomain\t0.0.193.in-addr.arpa\twaiting\n" +
                           Iso(waiting.when) +
                           "\tdomain\told.example\twaiting for more than 24 hours\n";
    EXPECT_EQ(QString::fromUtf8(RunCli(settings, dir.path()).out), before);

    const ProcessResult wrong =
        RunCli(settings + QStringList{"--check", "--password-command", "echo nope"}, dir.path());
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(wrong.err),
              "The mailbox server localhost:" + QString::number(dovecot.TlsPort()) +
                  " refused the user name jane or its password.\n");
    EXPECT_EQ(wrong.out, QByteArray());
    const ProcessResult failing =
        RunCli(settings + QStringList{"--check", "--password-command", "exit 3"}, dir.path());
    EXPECT_EQ(failing.exitCode, 1);
    EXPECT_EQ(failing.err, "The password command failed (exit status 3).\n");

    const ProcessResult checked =
        RunCli(settings + QStringList{"--check", "--password-command", "echo s3cret"}, dir.path());
    EXPECT_EQ(checked.exitCode, 0) << checked.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(checked.out),
              Iso(answered.when) + "\tdomain\t0.0.193.in-addr.arpa\tdone\n" +
                  "\tCreate SUCCEEDED: [domain] 0.0.193.in-addr.arpa\n"
                  "\tNo operation: [domain] 0.0.193.in-addr.arpa\n" +
                  Iso(waiting.when) + "\tdomain\told.example\twaiting for more than 24 hours\n");

    const QJsonArray listed =
        QJsonDocument::fromJson(RunCli(settings + QStringList{"--json"}, dir.path()).out).array();
    ASSERT_EQ(listed.size(), 2);
    const QJsonObject done = listed[0].toObject();
    EXPECT_EQ(done["messageId"].toString(), answered.messageId);
    EXPECT_EQ(done["status"].toString(), "done");
    const QJsonObject reply = done["replies"].toArray()[0].toObject();
    EXPECT_EQ(reply["messageId"].toString(), "<1838201957.58.1796394689226@busa.ripe.net>");
    EXPECT_EQ(reply["reading"].toObject()["objects"].toArray().size(), 2);

    // No mailbox set up: the check fails, saying where it is set.
    WriteAll(dir.file("regiscribe.ini"), "[Setup]\r\nServer=mail.example.org\r\n");
    const ProcessResult unset = RunCli(settings + QStringList{"--check"}, dir.path());
    EXPECT_EQ(unset.exitCode, 1);
    EXPECT_EQ(unset.err, "No mailbox is set up for replies (Setup > Security..., Replies).\n");
}
