// The password and passphrase commands: the first line is taken as soon as it comes, whatever the
// command does afterwards; the deadline ends the command's whole process group; a failure is told
// with the command's last line of standard error.
#include "mail/securedserverfixture.h"
#include "platform/shellcommand.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {
// Waits up to `ms` for the group to be gone.
bool GroupGoneWithin(pid_t group, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (GroupRuns(group) && clock.elapsed() < ms)
        QThread::msleep(20);
    return !GroupRuns(group);
}
} // namespace

TEST(SecretCommand, TheFirstLineIsTakenAtOnceAndTheRestEndsWithItsGroupAtTheDeadline) {
    ScopedWorkDir dir;
    const QString pidFile = dir.file("group");
    QElapsedTimer clock;
    clock.start();
    // Goes on running after its answer, with a child of its own in the background.
    const Result<QByteArray> line =
        SecretFromCommand("echo $$ > " + pidFile + "; sleep 97 & echo 'pw with blanks '; sleep 98",
                          "password command", 3000);
    EXPECT_LT(clock.elapsed(), 1500);
    ASSERT_TRUE(line) << line.Error().toStdString();
    EXPECT_EQ(line.Value(), "pw with blanks ");
    const pid_t group = GroupWrittenTo(pidFile);
    ASSERT_GT(group, 0);
    EXPECT_TRUE(GroupRuns(group)) << "left to run until the deadline";
    EXPECT_TRUE(GroupGoneWithin(group, 4000)) << "the deadline ends the whole group";

    // A command that closes its output and never ends holds nothing up either.
    clock.restart();
    const Result<QByteArray> closed = SecretFromCommand(
        "printf 'pw\\r\\nsecond\\n'; exec >&-; sleep 99", "password command", 3000);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_EQ(closed.ValueOr("?"), "pw");

    // One that ends without a line end answers with what it printed; its leftovers are ended.
    const Result<QByteArray> bare = SecretFromCommand(
        "echo $$ > " + pidFile + "; (sleep 96 &); printf pw", "password command", 3000);
    EXPECT_EQ(bare.ValueOr("?"), "pw");
    EXPECT_TRUE(GroupGoneWithin(GroupWrittenTo(pidFile), 1000));
}

TEST(SecretCommand, ACommandThatNeverAnswersIsKilledWithItsGroupAtTheDeadline) {
    ScopedWorkDir dir;
    const QString pidFile = dir.file("group");
    QElapsedTimer clock;
    clock.start();
    const Result<QByteArray> line = SecretFromCommand(
        "echo $$ > " + pidFile + "; sleep 300 & sleep 300", "passphrase command", 2000);
    EXPECT_GE(clock.elapsed(), 1900);
    EXPECT_LT(clock.elapsed(), 3500);
    EXPECT_FALSE(line);
    EXPECT_EQ(line.Error(), "The passphrase command did not answer within 2 seconds.");
    EXPECT_TRUE(GroupGoneWithin(GroupWrittenTo(pidFile), 1000)) << "nothing of it is left";
}

TEST(SecretCommand, AFailureIsToldWithTheLastLineOfStandardError) {
    const struct {
        const char* command;
        const char* error;
    } cases[] = {
        {"echo 'gpg: decryption failed' >&2; printf 'Error: mail/smtp is not in the password "
         "store.\\n\\n' >&2; exit 3",
         "The password command failed (exit status 3): Error: mail/smtp is not in the password "
         "store."},
        {"printf 'forged\\nline\\033[2J' >&2; exit 1",
         "The password command failed (exit status 1): line\\x1B[2J"},
        {"exit 7", "The password command failed (exit status 7)."},
        {"kill -9 $$", "The password command failed (killed by signal 9)."},
    };
    for (const auto& c : cases) {
        const Result<QByteArray> line = SecretFromCommand(c.command, "password command", 5000);
        EXPECT_FALSE(line) << c.command;
        EXPECT_EQ(line.Error(), QString::fromUtf8(c.error));
    }
    // Success without output is an empty answer; the callers decide what it means.
    EXPECT_EQ(SecretFromCommand("true", "password command", 5000).ValueOr("?"), "");
}

namespace {
class PasswordCommand : public SecuredServerFixture {
protected:
    void SetUp() override {
        StartServer("jane:s3cret");
        WriteAll(dir.file("body.txt"), "Domain Version Number: 4.0\r\n");
    }
    // `send` with the password from `command`; how long it took in `ms`.
    ProcessResult Send(const QString& command, qint64& ms) {
        QElapsedTimer clock;
        clock.start();
        const ProcessResult r =
            RunCli({"send", "--server", address, "--from", "jane@example.org", "--to",
                    "hostmaster@example.net", "--subject", "test", "--security", "starttls",
                    "--user", "jane", "--password-command", command, dir.file("body.txt")},
                   {}, {}, 90000);
        ms = clock.elapsed();
        return r;
    }
    ScopedWorkDir dir;
};
} // namespace

TEST_F(PasswordCommand, ASendTakesTheLineAtOnceAndLeavesNothingOfTheCommandBehind) {
    const QString pidFile = dir.file("group");
    for (const QString rest : {"sleep 98", "exec >&-; sleep infinity"}) {
        QFile::remove(pidFile);
        qint64 ms = 0;
        const ProcessResult r = Send("echo $$ > " + pidFile + "; echo s3cret; " + rest, ms);
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_LT(ms, 2000) << rest.toStdString();
        const pid_t group = GroupWrittenTo(pidFile);
        ASSERT_GT(group, 0);
        EXPECT_TRUE(GroupGoneWithin(group, 1000)) << rest.toStdString();
    }
    EXPECT_EQ(server->Messages().size(), 2u);

    qint64 ms = 0;
    const ProcessResult r =
        Send("echo 'Error: mail/smtp is not in the password store.' >&2; exit 1", ms);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The password command failed (exit status 1): Error: mail/smtp is not in the "
                     "password store.\n");
}

TEST_F(PasswordCommand, ACommandThatNeverAnswersFailsTheSendAtTheDeadlineWithNothingLeft) {
    const QString pidFile = dir.file("group");
    qint64 ms = 0;
    const ProcessResult r = Send("echo $$ > " + pidFile + "; sleep 300", ms);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The password command did not answer within 60 seconds.\n");
    EXPECT_GE(ms, 60000);
    EXPECT_LT(ms, 70000);
    EXPECT_TRUE(GroupGoneWithin(GroupWrittenTo(pidFile), 1000));
    EXPECT_TRUE(server->Messages().empty());
}
