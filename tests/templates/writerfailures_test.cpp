// How the writers and the Show Form flow fail: refused names, file errors, and what is left.
#include "templatetestdata.h"

#include "platform/fileerror.h"
#include "platform/messageboxes.h"
#include "support/tempdir.h"
#include "templates/showform.h"
#include "templates/templatetime.h"

#include <QDirIterator>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {
// Every file and folder below `root` with its bytes, to see that nothing changed.
QMap<QString, QByteArray> Snapshot(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        tree[path] = QFileInfo(path).isDir() ? QByteArray("<dir>") : ReadAll(path);
    }
    return tree;
}

Record Named(RecordKind kind, const QString& name) {
    Record r = EmptyRecord(kind);
    r.text[NameBoxControl(kind)] = name;
    return r;
}

QString FailureOf(const std::function<void()>& job) {
    try {
        job();
    } catch (const EInOutError& e) {
        return e.Message();
    }
    return "no failure";
}

class WriterFailures : public testing::Test {
protected:
    ScopedWorkDir dir;
    FixedTemplateClock clock;
    TemplateFiles files{"old.txt", "old.ini"};
};
} // namespace

TEST_F(WriterFailures, NamesThatLeaveTheFolderOrSplitAListTouchNothing) {
    // The work happens two levels down, so "../../x" would land inside the snapshot.
    QDir().mkpath("a/b/domains");
    WriteAll(dir.file("a/b/domains/keep.txt"), "kept");
    QDir::setCurrent(dir.file("a/b"));
    const QString bad[] = {
        "../../x", "sub/x", "/tmp/x", "a\nb", "a\rb", "a\tb", QString("a") + QChar(0)};
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact}) {
        for (const QString& name : bad) {
            const auto before = Snapshot(dir.path());
            EXPECT_EQ(FailureOf([&] { WriteForm(Named(kind, name), files); }),
                      name.contains('/') ? "Invalid filename"
                                         : "Invalid filename: control characters");
            EXPECT_EQ(Snapshot(dir.path()), before) << name.toStdString();
            EXPECT_EQ(files.formFile, "old.txt"); // no path for a refused name
        }
    }
    EXPECT_FALSE(QFile::exists("/tmp/x.txt"));
}

TEST_F(WriterFailures, FileErrorsCarryTheirMessagesAndKeepTheNewPaths) {
    // A folder in the text file's place.
    QDir().mkpath("hosts/taken.txt");
    EXPECT_EQ(FailureOf([&] { WriteHostForm(Named(RecordKind::Host, "taken"), files); }),
              "File access denied");
    EXPECT_EQ(files.formFile, dir.file("hosts/taken.txt"));
    EXPECT_EQ(files.recordFile, dir.file("hosts/taken.ini"));

    // A link to a device: a template replaces files only, it is never written into a device.
    // (A full disk has its own tests, on a full file system.)
    QFile::link("/dev/full", dir.file("hosts/full.txt"));
    EXPECT_EQ(FailureOf([&] { WriteHostForm(Named(RecordKind::Host, "full"), files); }),
              "File access denied");

    // A name longer than the file system allows.
    EXPECT_EQ(FailureOf([&] { WriteHostForm(Named(RecordKind::Host, QString(300, 'n')), files); }),
              "Invalid filename");

    // A file where the kind folder should be: creating the folder fails quietly, the file fails.
    WriteAll(dir.file("contacts"), "not a folder");
    EXPECT_EQ(FailureOf([&] { WriteContactForm(Named(RecordKind::Contact, "Jo"), files); }),
              "Invalid filename");
    EXPECT_EQ(ReadAll(dir.file("contacts")), "not a folder");
}

TEST_F(WriterFailures, ShowFormLoadsTheHolderThenUpdatesTheNameList) {
    QStringList order;
    QStringList holder{"previous"};
    ShowFormSteps steps;
    steps.loadHolder = [&](const QStringList& lines) {
        order << "holder";
        holder = lines;
    };
    steps.updateNameList = [&](const Record& r, const TemplateFiles& f) {
        order << "list " + r.Name();
        QFile::remove(f.formFile); // as a Delete record does
    };
    ASSERT_TRUE(ShowFormFlow(Named(RecordKind::Host, "ns1"), files, steps));
    EXPECT_EQ(order, QStringList({"holder", "list ns1"}));
    ASSERT_EQ(holder.size(), 28);
    EXPECT_EQ(holder[1], kFixedProcessedLine);
    EXPECT_EQ(holder[27], "2l. E-Mailbox..................: ");
    EXPECT_FALSE(QFile::exists(files.formFile));
}

TEST_F(WriterFailures, ShowFormStopsAtAnEmptyNameOrAFailedWrite) {
    auto boxes = std::make_shared<ScriptedBoxes>();
    SetBoxes(boxes);
    QStringList holder{"previous"};
    int listSteps = 0;
    ShowFormSteps steps{[&](const QStringList& l) { holder = l; }, [&](auto&&...) { ++listSteps; }};

    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact})
        EXPECT_FALSE(ShowFormFlow(Named(kind, ""), files, steps));
    EXPECT_EQ(boxes->Texts("information"),
              QStringList({"You did not enter a domain name on the TYPE tab.",
                           "You did not enter a host name on the TYPE tab.",
                           "You did not enter a Contact Name on the Aithorization, Notify & "
                           "Authentication tab."}));
    EXPECT_FALSE(QDir("domains").exists());

    QDir().mkpath("domains/busy.txt");
    EXPECT_THROW(ShowFormFlow(Named(RecordKind::Domain, "busy"), files, steps), EInOutError);
    EXPECT_THROW(ShowFormFlow(Named(RecordKind::Domain, "../busy"), files, steps), EInOutError);
    EXPECT_EQ(holder, QStringList{"previous"});
    EXPECT_EQ(listSteps, 0);
    SetBoxes(std::make_shared<ScriptedBoxes>());
}

TEST(ProcessedLine, ShortDateThenLongTimeUnlessMidnight) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QDateTime afternoon = FixedTime();
    EXPECT_EQ(ProcessedLine(afternoon, us), kFixedProcessedLine);
    EXPECT_EQ(ProcessedLine(afternoon, de), "Processed 07.03.26 14:05:09");
    const QDateTime midnight(QDate(2026, 3, 7), QTime(0, 0, 0, 500), Qt::UTC);
    EXPECT_EQ(ProcessedLine(midnight, us), "Processed 3/7/26");
    const QDateTime oneSecond(QDate(2026, 3, 7), QTime(0, 0, 1), Qt::UTC);
    EXPECT_EQ(ProcessedLine(oneSecond, us), "Processed 3/7/26 12:00:01 AM");
    // No locale's long time carries its zone into the line, whatever the zone is called.
    const QDateTime berlin(QDate(2026, 3, 7), QTime(9, 30, 0), QTimeZone("Europe/Berlin"));
    for (const QLocale& l : {us, de, QLocale(QLocale::French), QLocale(QLocale::Japanese),
                             QLocale(QLocale::Chinese, QLocale::China)}) {
        const QString line = ProcessedLine(berlin, l);
        EXPECT_TRUE(
            line.startsWith("Processed " + l.toString(berlin.date(), QLocale::ShortFormat)));
        for (const char* zone : {"CET", "GMT", "UTC", "MEZ", "Europe", "+01", "Berlin"})
            EXPECT_FALSE(line.contains(zone)) << line.toStdString();
    }
    EXPECT_EQ(WithoutTimeZone("h:mm:ss AP t"), "h:mm:ss AP");
    EXPECT_EQ(WithoutTimeZone("t HH:mm:ss"), "HH:mm:ss");
    EXPECT_EQ(WithoutTimeZone("HH'h'mm 'at' tttt"), "HH'h'mm 'at'");
}
