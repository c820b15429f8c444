// The copy of every accepted registration: the kept message equals what the server stored, the
// log line holds its six fields, `sent` lists newest first, a folder that cannot be written leaves
// the send a success, and a writer killed at any moment never leaves half a log line.
#include "mail/sentcopy.h"
#include "mail/submission_server.h"
#include "support/mailsettings.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString HeaderValue(const QByteArray& message, const QByteArray& field) {
    const qsizetype at = message.indexOf("\r\n" + field + ": ") + field.size() + 4;
    return QString::fromUtf8(message.mid(at, message.indexOf("\r\n", at) - at));
}

// The crash child: keeps copies for ever in REGISCRIBE_SENT_CHILD, reporting each finished one.
[[noreturn]] void RunSentChild(const char* folder) {
    for (int n = 0;; ++n) {
        SentEntry entry{QDateTime::currentDateTime(),
                        "domain",
                        QString("name%1").arg(n),
                        "hostmaster@registry.test",
                        QString("<%1@example.test>").arg(n),
                        "250 2.0.0 Ok: queued as " + QString(200, 'Q')};
        const Result<QString> kept =
            KeepSentCopy(QString::fromLocal8Bit(folder), entry, QByteArray(20000, 'm'));
        if (!kept) std::abort();
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
}

const bool sentChildStarted = [] {
    if (const char* folder = std::getenv("REGISCRIBE_SENT_CHILD")) RunSentChild(folder);
    return false;
}();
} // namespace

TEST(SentCopy, AnAcceptedSubmitIsKeptAsTheServerStoredItAndLogged) {
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(server.Address()));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    for (const char* name : {"example.com", "example.net"}) {
        const ProcessResult r = RunCli({"--settings", dir.file("regiscribe.ini"), "submit",
                                        "domain", name, "--set", "OOrgNameEdit=.Example Inc"});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    }
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 2u);

    const QStringList kept = QDir(dir.file("sent")).entryList({"*.eml"}, QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_TRUE(kept[0].endsWith("-domain-example.com.eml")) << kept[0].toStdString();
    EXPECT_TRUE(
        QRegularExpression("^\\d{8}-\\d{6}-domain-example\\.net\\.eml$").match(kept[1]).hasMatch());
    // The copy is the text as the server stored it: the template's "." lines unstuffed.
    EXPECT_EQ(ReadAll(dir.file("sent/" + kept[0])), received[0].rawBytes);
    EXPECT_EQ(ReadAll(dir.file("sent/" + kept[1])), received[1].rawBytes);

    const QStringList log = OutputLines(ReadAll(dir.file("sent/sent.log")));
    ASSERT_EQ(log.size(), 2);
    const QStringList fields = log[0].split('\t');
    ASSERT_EQ(fields.size(), 6);
    const QDateTime when = QDateTime::fromString(fields[0], Qt::ISODate);
    EXPECT_TRUE(when.isValid()) << fields[0].toStdString();
    EXPECT_TRUE(QRegularExpression("[+-]\\d\\d:\\d\\d$|Z$").match(fields[0]).hasMatch());
    EXPECT_GE(when, before);
    EXPECT_LE(when, QDateTime::currentDateTime());
    EXPECT_EQ(fields.mid(1, 3), (QStringList{"domain", "example.com", "hostmaster@registry.test"}));
    EXPECT_EQ(fields[4], HeaderValue(received[0].rawBytes, "Message-ID"));
    EXPECT_EQ(fields[5], "250 2.0.0 Ok: queued as 4ABC1");

    // The companion lists the log newest first, as written.
    const ProcessResult listed = RunCli({"sent"}, dir.path());
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(OutputLines(listed.out), (QStringList{log[1], log[0]}));
}

TEST(SentCopy, AFolderThatCannotBeWrittenLeavesTheSendASuccessAndSaysSo) {
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(server.Address()));
    WriteAll(dir.file("sent"), "a file where the folder should be\n");
    const ProcessResult r =
        RunCli({"--settings", dir.file("regiscribe.ini"), "submit", "host", "ns1.example.com"});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    const QStringList lines = OutputLines(r.out);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.contains("Your registratuion has been sent."));
    EXPECT_TRUE(lines.back().startsWith("Sent; the copy could not be saved: "))
        << lines.back().toStdString();
    EXPECT_EQ(server.Messages().size(), 1u);
    // The name list was brought up to date as after any good send.
    EXPECT_EQ(ReadAll(dir.file("hosts.cbx")), "ns1.example.com\r\n");

    // `send` keeps a copy only when asked to, in the folder named.
    ProcessResult s = RunCli({"send", "--server", server.Address(), "--from", "a@example.org",
                              "--to", "b@example.net", "--save-copy", dir.file("copies")},
                             dir.path(), "body\n");
    EXPECT_EQ(s.exitCode, 0) << s.err.constData();
    EXPECT_EQ(QDir(dir.file("copies")).entryList({"*-message.eml"}).size(), 1);
    EXPECT_EQ(OutputLines(ReadAll(dir.file("copies/sent.log"))).size(), 1);
}

TEST(SentCopy, AWriterKilledAtAnyMomentLeavesWholeLinesAndWholeCopies) {
    ASSERT_FALSE(sentChildStarted);
    ScopedWorkDir dir;
    const QString folder = dir.file("sent");
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    int finished = 0;
    for (int round = 0; round < 30; ++round) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("REGISCRIBE_SENT_CHILD", folder);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(10000)) << "the child kept nothing";
        QThread::usleep(delayUs(random));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        finished += OutputLines(child.readAllStandardOutput()).size();

        const QByteArray log = ReadAll(folder + "/sent.log");
        ASSERT_TRUE(log.endsWith('\n')) << "round " << round << ": the log ends in half a line";
        const QList<QByteArray> lines = log.split('\n');
        for (qsizetype n = 0; n + 1 < lines.size(); ++n) {
            const std::optional<SentEntry> entry = ParseSentLogLine(lines[n]);
            ASSERT_TRUE(entry) << lines[n].constData();
            EXPECT_EQ(entry->reply.size(), 224);
        }
        // Every copy that was reported kept is in the log; a kill may add one more. A line is
        // written only after its copy is whole, so there are never fewer copies than lines.
        EXPECT_GE(lines.size() - 1, finished);
        EXPECT_LE(lines.size() - 1, finished + round + 1);
        const QStringList copies = QDir(folder).entryList({"*.eml"}, QDir::Files);
        EXPECT_GE(copies.size(), lines.size() - 1);
        for (const QString& name : copies)
            ASSERT_EQ(ReadAll(folder + "/" + name).size(), 20000) << name.toStdString();
    }
}

namespace {
SentEntry EntryAt(const QDateTime& when, const QString& kind, const QString& name) {
    return SentEntry{when,    kind, name, "hostmaster@registry.test", "<" + kind + "@id.test>",
                     "250 Ok"};
}

QByteArray MessageWithId(const QString& id) {
    return "From: <a@b.test>\r\nMessage-ID: " + id.toUtf8() + "\r\n\r\nbody\r\n";
}

mode_t ModeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}
} // namespace

TEST(SentCopy, ANamePastTheFileNameLimitIsCutWithItsHashAndTheLogKeepsItWhole) {
    ScopedWorkDir dir;
    const QDateTime when(QDate(2026, 12, 8), QTime(22, 31, 5));
    const QString ascii = QString(227, 'a') + ".example"; // 235 characters
    const QString cjk = QString(80, QChar(0x5B57));       // 240 bytes in UTF-8
    const SentEntry domain = EntryAt(when, "domain", ascii);
    const SentEntry contact = EntryAt(when, "contact", cjk);
    for (const SentEntry& entry : {domain, contact}) {
        const Result<QString> kept =
            KeepSentCopy(dir.file("sent"), entry, MessageWithId(entry.messageId));
        ASSERT_TRUE(kept) << kept.Error().toStdString();
    }
    EXPECT_EQ(QDir(dir.file("sent")).entryList({"*.eml"}, QDir::Files, QDir::Name),
              (QStringList{
                  "20261208-223105-contact-" + QString(68, QChar(0x5B57)) + "-988e44fc253f2163.eml",
                  "20261208-223105-domain-" + QString(206, 'a') + "-144755328c147d98.eml"}));
    // The log holds the whole names, and each copy is found again from its line.
    const Result<std::vector<SentEntry>> log = ReadSentLog(dir.file("sent"));
    ASSERT_TRUE(log) << log.Error().toStdString();
    ASSERT_EQ(log->size(), 2u);
    EXPECT_EQ((*log)[0].name, cjk);
    EXPECT_EQ((*log)[1].name, ascii);
    for (const SentEntry& entry : *log) {
        const Result<QByteArray> message = ReadKeptMessage(dir.file("sent"), entry);
        ASSERT_TRUE(message) << message.Error().toStdString();
        EXPECT_EQ(*message, MessageWithId(entry.messageId));
    }
}

TEST(SentCopy, TheFolderIsPrivateAndNoLinkInItIsFollowed) {
    ScopedWorkDir dir;
    const QString sent = dir.file("sent");
    const QString outside = dir.file("outside");
    WriteAll(outside, "the user's own file\n");
    const QDateTime when(QDate(2026, 12, 8), QTime(22, 31, 5));
    const SentEntry entry = EntryAt(when, "domain", "example.com");

    Result<QString> kept = KeepSentCopy(sent, entry, MessageWithId(entry.messageId));
    ASSERT_TRUE(kept) << kept.Error().toStdString();
    EXPECT_EQ(ModeOf(sent), 0700u);
    EXPECT_EQ(ModeOf(*kept), 0600u);
    EXPECT_EQ(ModeOf(sent + "/sent.log"), 0600u);

    // A link at the next copy's name is neither followed nor replaced: the copy takes the next
    // free name. A link at the log refuses the log line.
    const QString nextName = sent + "/20261208-223105-domain-example.com-2.eml";
    ASSERT_EQ(::symlink(QFile::encodeName(dir.file("created-through-link")).constData(),
                        QFile::encodeName(nextName).constData()),
              0);
    ASSERT_TRUE(QFile::rename(sent + "/sent.log", sent + "/sent.log.kept"));
    ASSERT_TRUE(QFile::link(outside, sent + "/sent.log"));
    kept = KeepSentCopy(sent, entry, MessageWithId(entry.messageId));
    ASSERT_FALSE(kept);
    EXPECT_EQ(kept.Error(), sent + "/sent.log is a symbolic link");
    EXPECT_FALSE(QFile::exists(dir.file("created-through-link")));
    EXPECT_EQ(ReadAll(outside), "the user's own file\n");
    EXPECT_EQ(ReadAll(sent + "/20261208-223105-domain-example.com-3.eml"),
              MessageWithId(entry.messageId));

    // A folder that is a link, or that others may write, is refused before anything is written.
    ASSERT_TRUE(QFile::rename(sent, dir.file("real-sent")));
    ASSERT_TRUE(QFile::link(dir.file("real-sent"), sent));
    kept = KeepSentCopy(sent, entry, "x");
    EXPECT_EQ(kept.Error(), sent + " is a symbolic link");
    ASSERT_TRUE(QFile::remove(sent));
    ASSERT_TRUE(QDir().mkdir(sent));
    ::chmod(QFile::encodeName(sent).constData(), 0777);
    kept = KeepSentCopy(sent, entry, "x");
    EXPECT_EQ(kept.Error(), sent + " can be written by other users");
    EXPECT_EQ(
        QDir(sent).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        QStringList());
    EXPECT_FALSE(ReadSentLog(sent));

    // A folder of the user's that others may only read is closed to them.
    ::chmod(QFile::encodeName(sent).constData(), 0755);
    kept = KeepSentCopy(sent, entry, "x");
    EXPECT_TRUE(kept) << kept.Error().toStdString();
    EXPECT_EQ(ModeOf(sent), 0700u);
}

TEST(SentCopy, RecordNamesWithControlCharactersAreRefusedBeforeAnythingIsSent) {
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(server.Address()));
    const QStringList submit{"--settings", dir.file("regiscribe.ini"), "submit"};
    for (const char* name : {"tab\there.example", "esc\x1b[2J.example"}) {
        const ProcessResult r = RunCli(submit + QStringList{"domain", name}, dir.path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "Invalid filename: control characters.\n");
    }
    EXPECT_TRUE(server.Messages().empty());
    EXPECT_FALSE(QFileInfo::exists(dir.file("sent")));
}

TEST(SentCopy, TheLogReadsOldAndSignedLinesAndCountsTheDamagedOnes) {
    ScopedWorkDir dir;
    const QDateTime when(QDate(2026, 12, 8), QTime(22, 31, 5));
    SentEntry signedOne = EntryAt(when.addSecs(60), "host", "ns1.example.com");
    signedOne.signer = "0x0123456789ABCDEF (Jane Doe <jane@example.test>)";
    const QByteArray signedLine = SentLogLine(signedOne);
    EXPECT_TRUE(signedLine.endsWith("\t250 Ok\t0x0123456789ABCDEF (Jane Doe <jane@example.test>)"));
    // A line an older version wrote: six fields, the time in UTC with "Z".
    const QByteArray oldLine = "2026-12-08T21:31:05Z\tdomain\texample.com\thostmaster@registry."
                               "test\t<old@id.test>\t250 2.0.0 Ok";
    ASSERT_TRUE(QDir().mkdir(dir.file("sent")));
    WriteAll(dir.file("sent/sent.log"),
             oldLine + "\r\n" + "not a line of the log\n" + signedLine + "\n" +
                 // Bad times, too few and too many fields.
                 "2026-02-30T10:00:00Z\tdomain\ta\tb\tc\td\n" +
                 "2026-12-08T25:00:00+01:00\tdomain\ta\tb\tc\td\n" +
                 "2026-12-08T10:00:00Z\ta\tb\n" + "2026-12-08T10:00:00Z\ta\tb\tc\td\te\tf\tg\n" +
                 // Another form of the time, with a fraction of a second.
                 "2026-12-08T10:00:00.250+02:00\tcontact\tJane\tb\t<frac@id.test>\td\n");
    const Result<SentLogScan> scan = ScanSentLogOf(dir.file("sent"));
    ASSERT_TRUE(scan) << scan.Error().toStdString();
    EXPECT_EQ(scan->damaged, 5);
    ASSERT_EQ(scan->rows.size(), 3u);
    const SentEntry old = scan->Entry(scan->rows[0]);
    EXPECT_EQ(old.when, QDateTime(QDate(2026, 12, 8), QTime(21, 31, 5), Qt::UTC));
    EXPECT_EQ(old.reply, "250 2.0.0 Ok"); // the CR of a CR LF is not the reply's
    EXPECT_EQ(old.signer, "");
    EXPECT_EQ(scan->Entry(scan->rows[1]).signer, signedOne.signer);
    EXPECT_EQ(scan->Entry(scan->rows[1]).when, signedOne.when);
    EXPECT_EQ(scan->Entry(scan->rows[2]).when,
              QDateTime(QDate(2026, 12, 8), QTime(8, 0, 0, 250), Qt::UTC));
    // The other readers: newest first as written, the lines as they stand.
    const Result<QList<QByteArray>> lines = ReadSentLogLines(dir.file("sent"));
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 3);
    EXPECT_EQ((*lines)[1], signedLine);
    EXPECT_EQ((*lines)[2], oldLine);
    EXPECT_EQ(ParseSentLogLine(signedLine)->signer, signedOne.signer);

    // An empty last line is no damage; a log without a line end at its end loses nothing.
    WriteAll(dir.file("sent/sent.log"), oldLine + "\n" + signedLine);
    EXPECT_EQ(ScanSentLogOf(dir.file("sent"))->damaged, 0);
    EXPECT_EQ(ScanSentLogOf(dir.file("sent"))->rows.size(), 2u);
    WriteAll(dir.file("sent/sent.log"), oldLine + "\n\n");
    EXPECT_EQ(ScanSentLogOf(dir.file("sent"))->damaged, 1);
}
