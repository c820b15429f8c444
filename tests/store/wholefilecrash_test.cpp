// Every kind of file the program writes (record file, name list, template text, settings) is
// replaced whole: a writer killed at any moment leaves each file with its old contents or its new
// ones. A Delete killed between its steps never leaves a listed name whose files are gone.
#include "store/namelist.h"
#include "store/recordstore.h"
#include "store/setupsettings.h"
#include "support/process.h"
#include "support/tempdir.h"
#include "templates/templatefiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace {
// The two versions each file takes in turn; each is long enough for a write to take a while.
QByteArray TemplateText(int version) {
    QByteArray text;
    for (int line = 0; line < 200; ++line)
        text += QByteArray::number(version) + " template line " + QByteArray::number(line) + "\r\n";
    return text;
}

Record RecordVersion(int version) {
    Record record = EmptyRecord(RecordKind::Domain);
    for (const FieldInfo& field : RecordFields(RecordKind::Domain))
        record.text[field.control] =
            QString("%1 %2 ").arg(version).arg(field.control) + QString(20 + version * 7, 'v');
    return record;
}

QStringList NamesVersion(int version) {
    QStringList names;
    for (int n = 0; n < 100 + version * 13; ++n)
        names << QString("name%1-%2.example").arg(version).arg(n);
    return names;
}

SetupSettings SetupVersion(int version) {
    const QString v = QString::number(version);
    return {"smtp" + v + ".example:587",
            "me" + v + "@example.com",
            "Sender " + v,
            "hostmaster" + v + "@example.net",
            version ? "STARTTLS" : "TLS",
            "user" + v,
            ""};
}

const char* const Files[] = {"form.txt", "record.ini", "names.cbx", "settings.ini"};

void WriteVersion(const QDir& folder, int version) {
    WriteTextFile(folder.filePath("form.txt"), TemplateText(version));
    SaveRecordFile(folder.filePath("record.ini"), RecordVersion(version));
    WriteNameList(folder.filePath("names.cbx"), NamesVersion(version));
    WriteSetup(folder.filePath("settings.ini"), SetupVersion(version));
}

// The child: started as this test program with REGISCRIBE_WHOLE_FILE_CHILD=folder, it writes
// the two versions in turn for ever.
[[noreturn]] void RunWriterChild(const char* folder) {
    const QDir dir(QString::fromLocal8Bit(folder));
    std::printf("started\n");
    std::fflush(stdout);
    for (int i = 1;; ++i)
        WriteVersion(dir, i % 2);
}

// Runs before main, so the child never reaches the test runner.
const bool writerChild = [] {
    if (const char* folder = std::getenv("REGISCRIBE_WHOLE_FILE_CHILD")) RunWriterChild(folder);
    return false;
}();

// Files in `folder` that a killed writer left behind on its way to a replacement.
int LeftoverFiles(const QString& folder, const QStringList& known) {
    int left = 0;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (!known.contains(name)) ++left;
    return left;
}
} // namespace

TEST(WholeFileCrash, EveryFileHoldsItsOldOrItsNewContentsAfterAKillAtAnyMoment) {
    ASSERT_FALSE(writerChild);
    ScopedWorkDir dir;
    QDir(dir.path()).mkpath("v0");
    QDir(dir.path()).mkpath("v1");
    QDir(dir.path()).mkpath("crash");
    WriteVersion(QDir(dir.file("v0")), 0);
    WriteVersion(QDir(dir.file("v1")), 1);
    // The settings file's version 0 written over version 1 (and the other way) is the file the
    // child makes; start from version 0 written over version 1 for the same key order.
    WriteVersion(QDir(dir.file("crash")), 1);
    WriteVersion(QDir(dir.file("crash")), 0);
    QMap<QString, QByteArray> versions[2];
    for (const char* name : Files) {
        versions[0][name] = ReadAll(dir.file(QString("v0/") + name));
        versions[1][name] = ReadAll(dir.file(QString("v1/") + name));
        ASSERT_NE(versions[0][name], versions[1][name]) << name;
        ASSERT_EQ(ReadAll(dir.file(QString("crash/") + name)), versions[0][name]) << name;
    }

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    int kills = 0, oldOrNew[2] = {0, 0}, broken = 0;
    for (int round = 0; round < 200; ++round) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("REGISCRIBE_WHOLE_FILE_CHILD", dir.file("crash"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(10000)) << "the child did not start writing";
        QThread::usleep(delayUs(random));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        ++kills;
        for (const char* name : Files) {
            const QByteArray now = ReadAll(dir.file(QString("crash/") + name));
            if (now == versions[0][name])
                ++oldOrNew[0];
            else if (now == versions[1][name])
                ++oldOrNew[1];
            else {
                ++broken;
                ADD_FAILURE() << name << " after kill " << kills << " holds " << now.size()
                              << " bytes of neither version";
            }
        }
    }
    QStringList known;
    for (const char* name : Files)
        known << name;
    const int left = LeftoverFiles(dir.file("crash"), known);
    std::printf("kills %d, files checked %d: version 0 %d, version 1 %d, broken %d; "
                "temporary files left by the kills %d\n",
                kills, kills * 4, oldOrNew[0], oldOrNew[1], broken, left);
    EXPECT_EQ(broken, 0);
    EXPECT_GT(oldOrNew[0], 0);
    EXPECT_GT(oldOrNew[1], 0);

    // What the killed writers left is removed by the next write of the same file once it is a
    // minute old; a fresh one (a writer still at work) is left alone.
    const QStringList leftovers = QDir(dir.file("crash")).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : leftovers)
        if (!known.contains(name)) {
            QFile file(dir.file("crash/" + name));
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            file.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                             QFileDevice::FileModificationTime);
        }
    WriteAll(dir.file("crash/.form.txt.fresh1"), "a writer at work");
    // Both versions in turn, so that every file is replaced (a settings write that changes
    // nothing does not touch its file).
    WriteVersion(QDir(dir.file("crash")), 0);
    WriteVersion(QDir(dir.file("crash")), 1);
    EXPECT_EQ(LeftoverFiles(dir.file("crash"), known), 1);
    EXPECT_TRUE(QFile::exists(dir.file("crash/.form.txt.fresh1")));
}

TEST(WholeFileCrash, ADeleteKilledBetweenItsStepsLeavesNoListedNameWithoutItsFiles) {
    ScopedWorkDir dir;
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 120000);
    const QString name = "gone.example";
    int listedWithFiles = 0, unlisted = 0;
    for (int round = 0; round < 60; ++round) {
        // The record as a New left it: listed, with its template and record file.
        ProcessResult made = RunCli({"write", "domain", name, "--action", "N"}, dir.path());
        ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
        ASSERT_TRUE(ReadNameList(dir.file("domains.cbx")).contains(name));

        QProcess remove;
        remove.setWorkingDirectory(dir.path());
        remove.start(REGISCRIBE_CLI, {"write", "domain", name, "--action", "D"});
        ASSERT_TRUE(remove.waitForStarted(10000));
        QThread::usleep(delayUs(random));
        remove.kill();
        ASSERT_TRUE(remove.waitForFinished(10000));

        const bool listed = ReadNameList(dir.file("domains.cbx")).contains(name);
        const bool record = QFile::exists(dir.file("domains/" + name + ".ini"));
        const bool form = QFile::exists(dir.file("domains/" + name + ".txt"));
        if (listed) {
            EXPECT_TRUE(record && form)
                << "round " << round << ": listed, record file " << record << ", template " << form;
            ++listedWithFiles;
        } else {
            ++unlisted;
        }
        // The next round starts from the record as New leaves it.
        WriteNameList(dir.file("domains.cbx"), {});
    }
    std::printf("delete killed 60 times: still listed with its files %d, unlisted %d\n",
                listedWithFiles, unlisted);
}
