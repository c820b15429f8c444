// Every kind of write on a full file system fails with its error text and leaves the file it was
// to replace as it was, and no temporary file behind. Needs root for a small tmpfs; skipped
// without it.
#include "platform/fileerror.h"
#include "store/inifile.h"
#include "store/namelist.h"
#include "store/recordstore.h"
#include "store/setupsettings.h"
#include "support/failure.h"
#include "support/process.h"
#include "support/tempdir.h"
#include "templates/templatefiles.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
// A 256 KiB tmpfs mounted on a fresh folder for the test, unmounted afterwards.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs";
        mount_ = work_.file("disk");
        QDir().mkpath(mount_);
        const ProcessResult r =
            RunProgram("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", mount_});
        if (r.exitCode != 0) GTEST_SKIP() << "mount failed: " << r.err.toStdString();
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) RunProgram("umount", {"-l", mount_});
    }
    QString Path(const QString& name) const { return mount_ + "/" + name; }
    // Fills the file system to its last byte.
    void Fill() {
        QFile filler(Path("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        QFile probe(Path("probe"));
        ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
        ASSERT_FALSE(probe.write("x") == 1 && probe.flush()) << "the disk is not full";
        probe.close();
        probe.remove();
    }
    // The files in the mount besides `expected` (temporary files of failed writes).
    QStringList Strays(const QStringList& expected) const {
        QStringList strays;
        QDirIterator it(mount_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(mount_.size() + 1);
            if (!expected.contains(path) && path != "filler") strays << path;
        }
        return strays;
    }

    ScopedWorkDir work_;
    QString mount_;
    bool mounted_ = false;
};

Record Named(const QString& name, const QString& organisation) {
    Record record = EmptyRecord(RecordKind::Domain);
    record.text["DomainNameEdit"] = name;
    record.text["OOrgNameEdit"] = organisation;
    return record;
}
} // namespace

TEST_F(FullDisk, EachWriterFailsWithItsTextAndKeepsTheOldFile) {
    WriteTextFile(Path("form.txt"), "old template\r\n");
    SaveRecordFile(Path("record.ini"), Named("old.example", "Old Ltd."));
    WriteNameList(Path("names.cbx"), {"old.example"});
    WriteSetup(Path("settings.ini"), {"old.example", "me@old.example", "Me", "", "", "", ""});
    const QStringList files{"form.txt", "record.ini", "names.cbx", "settings.ini"};
    QMap<QString, QByteArray> before;
    for (const QString& f : files)
        before[f] = ReadAll(Path(f));
    Fill();

    EXPECT_EQ(FailureOf([&] { WriteTextFile(Path("form.txt"), QByteArray(5000, 'n')); }),
              "Disk full");
    EXPECT_EQ(FailureOf([&] { SaveRecordFile(Path("record.ini"), Named("new.example", "New")); }),
              "Unable to write to " + Path("record.ini"));
    EXPECT_EQ(FailureOf([&] {
                  WriteNameList(Path("names.cbx"), {"old.example", "new.example"});
              }),
              "Cannot create file " + Path("names.cbx"));
    EXPECT_EQ(FailureOf([&] {
                  WriteSetup(Path("settings.ini"),
                             {"new.example", "me@new.example", "New", "", "STARTTLS", "me", ""});
              }),
              "Unable to write to " + Path("settings.ini"));
    EXPECT_EQ(FailureOf([&] { TIniFile(Path("new.ini")).WriteString("S", "K", "V"); }),
              "Unable to write to " + Path("new.ini"));

    for (const QString& f : files)
        EXPECT_EQ(ReadAll(Path(f)), before[f]) << qPrintable(f);
    EXPECT_FALSE(QFile::exists(Path("new.ini")));
    EXPECT_EQ(Strays(files), QStringList());
}

TEST_F(FullDisk, TheCompanionSaysDiskFullAndKeepsTheRecord) {
    ProcessResult r = RunCli(
        {"write", "domain", "keep.example", "--action", "N", "--set", "OOrgNameEdit=Old Ltd."},
        mount_);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList files{"domains/keep.example.txt", "domains/keep.example.ini", "domains.cbx"};
    QMap<QString, QByteArray> before;
    for (const QString& f : files)
        before[f] = ReadAll(Path(f));
    Fill();

    r = RunCli({"write", "domain", "keep.example", "--action", "M", "--set",
                "OOrgNameEdit=" + QString(3000, 'N')},
               mount_);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Disk full.\n");
    r = RunCli({"ini", "set", Path("domains/keep.example.ini"), "Domain", "Extra", "value"},
               mount_);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Unable to write to " + Path("domains/keep.example.ini").toUtf8() + ".\n");
    for (const QString& f : files)
        EXPECT_EQ(ReadAll(Path(f)), before[f]) << qPrintable(f);
    EXPECT_EQ(Strays(files), QStringList());
}
