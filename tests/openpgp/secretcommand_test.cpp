// The password and passphrase commands: the first line is taken as soon as it comes, whatever the
// command does afterwards; the deadline ends the command's whole process group; a failure is told
// with the command's last line of standard error.
#include "platform/shellcommand.h"
#include "support/tempdir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {
// The process group the command wrote into `file` ("echo $$ > file": the shell leads it).
pid_t GroupOf(const QString& file) {
    for (int i = 0; i < 100; ++i) {
        const QByteArray text = ReadAll(file).trimmed();
        if (!text.isEmpty()) return pid_t(text.toLongLong());
        QThread::msleep(20);
    }
    return 0;
}

// Whether a process of the group still runs (one ended but not yet reaped by init does not).
bool GroupAlive(pid_t group) {
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        const QByteArray stat = ReadAll("/proc/" + pid + "/stat");
        // pid (comm) state ppid pgrp ...: the command name may hold blanks and parentheses.
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z") return true;
    }
    return false;
}

// Waits up to `ms` for the group to be gone.
bool GroupGoneWithin(pid_t group, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (GroupAlive(group) && clock.elapsed() < ms)
        QThread::msleep(20);
    return !GroupAlive(group);
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
    const pid_t group = GroupOf(pidFile);
    ASSERT_GT(group, 0);
    EXPECT_TRUE(GroupAlive(group)) << "left to run until the deadline";
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
    EXPECT_TRUE(GroupGoneWithin(GroupOf(pidFile), 1000));
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
    EXPECT_FALSE(GroupAlive(GroupOf(pidFile))) << "nothing of it is left at the return";
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
