// The sent folder against another local user and against the disk, as root does it in CI: a
// second user (made for the test) who owns the working folder plants links at sent/sent.log and at
// the next copies' names; nothing outside sent/ changes, the send succeeds and its status line
// names the refusal; the folder the program makes is its user's alone. A full or read-only disk
// keeps no log line and names the file and the system's reason.
#include "mail/submission_server.h"
#include "support/mailsettings.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A local user for one test, removed again at its end.
class SecondUser {
public:
    SecondUser() : name_("rgs" + QString::number(QRandomGenerator::system()->generate(), 16)) {
        const ProcessResult r =
            RunProgram("/usr/sbin/useradd",
                       {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", name_});
        if (const passwd* pw = ::getpwnam(name_.toUtf8().constData()); r.exitCode == 0 && pw) {
            uid_ = pw->pw_uid;
            gid_ = pw->pw_gid;
        }
    }
    ~SecondUser() {
        if (uid_ != 0) RunProgram("/usr/sbin/userdel", {name_});
    }
    bool Made() const { return uid_ != 0; }
    uid_t Uid() const { return uid_; }
    // Runs a shell script as this user (no other groups), in `folder`.
    ProcessResult Run(const QString& script, const QString& folder) const {
        return RunProgram("/usr/bin/setpriv",
                          {"--reuid", QString::number(uid_), "--regid", QString::number(gid_),
                           "--clear-groups", "/bin/sh", "-c", script},
                          folder);
    }

private:
    QString name_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

struct FileState {
    uid_t owner = 0;
    mode_t mode = 0;
};

FileState StateOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {st.st_uid, mode_t(st.st_mode & 07777)};
}

QString Quoted(const QString& text) {
    return "'" + text + "'";
}

// A tmpfs of `kilobytes` mounted at `path` for as long as it lives.
class SmallDisk {
public:
    SmallDisk(const QString& path, int kilobytes) : path_(path) {
        mounted_ =
            RunProgram("/bin/mount", {"-t", "tmpfs", "-o",
                                      QString("size=%1k,mode=0700").arg(kilobytes), "tmpfs", path})
                .exitCode == 0;
    }
    ~SmallDisk() {
        if (mounted_) RunProgram("/bin/umount", {path_});
    }
    bool Mounted() const { return mounted_; }
    bool MakeReadOnly() const {
        return RunProgram("/bin/mount", {"-o", "remount,ro", path_}).exitCode == 0;
    }

private:
    QString path_;
    bool mounted_ = false;
};
} // namespace

TEST(SentPrivacy, AnotherUsersLinksInTheWorkingFolderRedirectNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "adding a user needs root";
    SecondUser other;
    ASSERT_TRUE(other.Made());
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    QTemporaryDir top;
    ::chmod(QFile::encodeName(top.path()).constData(), 0755);
    // The user's own files, and a working folder that belongs to the other user.
    const QString own = top.filePath("own"), work = top.filePath("work");
    ASSERT_TRUE(QDir().mkdir(own) && QDir().mkdir(work));
    ::chmod(QFile::encodeName(own).constData(), 0700);
    ASSERT_EQ(::chown(QFile::encodeName(work).constData(), other.Uid(), uid_t(-1)), 0);
    WriteAll(own + "/regiscribe.ini", MailSettingsText(server.Address()));
    WriteAll(own + "/diary", "the user's own diary\n");

    // The other user's sent/ with a link at the log and at every copy name of the next minutes.
    QString plant = "mkdir -m 0777 sent && ln -s " + Quoted(own + "/diary") + " sent/sent.log";
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = -2; s < 180; ++s)
        plant += " && ln -s " + Quoted(own + "/planted") + " sent/" +
                 now.addSecs(s).toString("yyyyMMdd-HHmmss") + "-domain-example.com.eml";
    const ProcessResult planted = other.Run(plant, work);
    ASSERT_EQ(planted.exitCode, 0) << planted.err.constData();

    const QStringList submit{"--settings", own + "/regiscribe.ini", "submit", "domain",
                             "example.com"};
    ProcessResult r = RunCli(submit, work);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(OutputLines(r.out).back(),
              "Sent; the copy could not be saved: " + work + "/sent belongs to another user");
    EXPECT_EQ(server.Messages().size(), 1u);
    EXPECT_EQ(ReadAll(own + "/diary"), "the user's own diary\n");
    EXPECT_EQ(QDir(own).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"diary", "regiscribe.ini"}));
    EXPECT_EQ(QDir(work + "/sent").entryList({"*.eml"}, QDir::System).size(), 182);

    // Without the other user's folder the program makes its own: the user's alone.
    ASSERT_EQ(other.Run("rm -r sent", work).exitCode, 0);
    r = RunCli(submit, work);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(OutputLines(r.out).back(), "Your registratuion has been sent.");
    EXPECT_EQ(StateOf(work + "/sent").owner, 0u);
    EXPECT_EQ(StateOf(work + "/sent").mode, 0700u);
    EXPECT_EQ(StateOf(work + "/sent/sent.log").mode, 0600u);
    const QStringList copies = QDir(work + "/sent").entryList({"*.eml"}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(StateOf(work + "/sent/" + copies[0]).mode, 0600u);
    EXPECT_EQ(ReadAll(work + "/sent/" + copies[0]), server.Messages()[1].rawBytes);
    // The other user can neither read the copies nor plant anything among them.
    EXPECT_NE(other.Run("cat sent/sent.log", work).exitCode, 0);
    EXPECT_NE(other.Run("ln -s " + Quoted(own + "/diary") + " sent/x.eml", work).exitCode, 0);
    EXPECT_EQ(ReadAll(own + "/diary"), "the user's own diary\n");
}

TEST(SentPrivacy, AFullOrReadOnlyDiskKeepsNoLogLineAndNamesTheFileAndTheReason) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(server.Address()));
    ASSERT_TRUE(QDir().mkdir(dir.file("sent")));
    SmallDisk disk(dir.file("sent"), 16);
    ASSERT_TRUE(disk.Mounted());
    // One page of the four left: the template's copy does not fit.
    WriteAll(dir.file("sent/filler"), QByteArray(12 * 1024, 'f'));
    const QStringList submit{"--settings", dir.file("regiscribe.ini"), "submit", "domain",
                             "example.com"};
    const QString copyName =
        QRegularExpression::escape(dir.file("sent/")) + "\\d{8}-\\d{6}-domain-example\\.com\\.eml";
    for (const char* reason : {"No space left on device", "Read-only file system"}) {
        const ProcessResult r = RunCli(submit, dir.path());
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        const QString status = OutputLines(r.out).back();
        EXPECT_TRUE(QRegularExpression("^Sent; the copy could not be saved: " + copyName + ": " +
                                       reason + "$")
                        .match(status)
                        .hasMatch())
            << status.toStdString();
        EXPECT_EQ(QDir(dir.file("sent"))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"filler"});
        ASSERT_TRUE(disk.MakeReadOnly());
    }
    EXPECT_EQ(server.Messages().size(), 2u);
}
