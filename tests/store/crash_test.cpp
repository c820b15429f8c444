// A writer killed at any moment never leaves a settings file that is cut, mixed or short of a key.
#include "store/inifile.h"
#include "support/tempdir.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

namespace {
constexpr int Sections = 3;
constexpr int KeysPerSection = 10;

QString SectionName(int i) {
    return QString("Section%1").arg(i % Sections);
}
QString FixedKey(int i) {
    return QString("K%1").arg(i % (Sections * KeysPerSection) % KeysPerSection);
}
int FixedSection(int i) {
    return i % (Sections * KeysPerSection) / KeysPerSection;
}
QString Value(int i) {
    return QString("v%1 ").arg(i) + QString(40, 'x'); // long enough to make writes take time
}

// The child: started as this test program with REGISCRIBE_CRASH_CHILD=file and
// REGISCRIBE_CRASH_START=n, it writes for ever and reports every finished write on stdout.
// Write n changes one of the fixed keys and, every third write, adds the new key "N<n>".
[[noreturn]] void RunCrashChild(const char* file, int start) {
    TIniFile ini(QString::fromLocal8Bit(file));
    for (int i = start;; ++i) {
        ini.WriteString(SectionName(FixedSection(i)), FixedKey(i), Value(i));
        if (i % 3 == 0) ini.WriteString(SectionName(i), QString("N%1").arg(i), Value(i));
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}

// Runs before main, so the child never reaches the test runner.
const bool childStarted = [] {
    if (const char* file = std::getenv("REGISCRIBE_CRASH_CHILD"))
        RunCrashChild(file, std::atoi(std::getenv("REGISCRIBE_CRASH_START")));
    return false;
}();

struct Parsed {
    bool ok = true;
    QString problem;
    QMap<QString, QMap<QString, QString>> sections;
};

// Every line must be a section header or a key line of the shapes the writer makes.
Parsed Parse(const QByteArray& bytes) {
    Parsed p;
    static const QRegularExpression header("^\\[(Section[0-2])\\]$");
    static const QRegularExpression keyLine("^([KN]\\d+)=(v\\d+ x{40})$");
    QString current;
    const QList<QByteArray> lines = bytes.split('\n');
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n")) return {false, "file is cut", {}};
    for (qsizetype n = 0; n + 1 < lines.size(); ++n) {
        QString line = QString::fromUtf8(lines[n]);
        if (!line.endsWith('\r')) return {false, "line without CR: " + line, {}};
        line.chop(1);
        if (line.isEmpty()) continue;
        if (auto h = header.match(line); h.hasMatch()) {
            current = h.captured(1);
            if (p.sections.contains(current)) return {false, "section twice: " + line, {}};
            p.sections[current];
        } else if (auto k = keyLine.match(line); k.hasMatch() && !current.isEmpty()) {
            if (p.sections[current].contains(k.captured(1))) return {false, "key twice", {}};
            p.sections[current][k.captured(1)] = k.captured(2);
        } else {
            return {false, "bad line: " + line, {}};
        }
    }
    return p;
}
} // namespace

TEST(IniCrash, AWriterKilledAtRandomMomentsLosesNothingItFinished) {
    ASSERT_FALSE(childStarted);
    ScopedWorkDir dir;
    const QString file = dir.file("crash.ini");
    for (int i = 0; i < Sections * KeysPerSection; ++i)
        TIniFile(file).WriteString(SectionName(FixedSection(i)), FixedKey(i), Value(i));

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 30000);

    int next = Sections * KeysPerSection; // first write of the next child
    QMap<int, int> lastWrite;             // fixed key index -> last finished write
    for (int i = 0; i < Sections * KeysPerSection; ++i)
        lastWrite[i] = i;
    QList<int> addedKeys; // writes whose new key was finished
    int kills = 0;
    for (int round = 0; round < 40; ++round) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("REGISCRIBE_CRASH_CHILD", file);
        env.insert("REGISCRIBE_CRASH_START", QString::number(next));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(10000)) << "the child wrote nothing";
        QThread::usleep(delayUs(random));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        ++kills;

        int finished = next - 1;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
            if (!line.isEmpty()) finished = line.toInt();
        for (int i = next; i <= finished; ++i) {
            lastWrite[i % (Sections * KeysPerSection)] = i;
            if (i % 3 == 0) addedKeys << i;
        }
        // The write after the last reported one may have finished too; the next child starts
        // after it so that every value still names one write.
        const int inFlight = finished + 1;
        next = finished + 2;

        const Parsed p = Parse(ReadAll(file));
        ASSERT_TRUE(p.ok) << "round " << round << ": " << p.problem.toStdString();
        for (auto [key, write] : lastWrite.asKeyValueRange()) {
            const QString value =
                p.sections.value(SectionName(FixedSection(key))).value(FixedKey(key));
            const bool expected =
                value == Value(write) ||
                (inFlight % (Sections * KeysPerSection) == key && value == Value(inFlight));
            ASSERT_TRUE(expected) << "round " << round << " key " << key << " holds "
                                  << value.toStdString();
        }
        for (int added : addedKeys)
            ASSERT_EQ(p.sections.value(SectionName(added)).value(QString("N%1").arg(added)),
                      Value(added))
                << "round " << round;
        if (inFlight % 3 == 0 &&
            p.sections.value(SectionName(inFlight)).contains(QString("N%1").arg(inFlight)))
            addedKeys << inFlight;
        if (lastWrite.contains(inFlight % (Sections * KeysPerSection)) &&
            p.sections.value(SectionName(FixedSection(inFlight))).value(FixedKey(inFlight)) ==
                Value(inFlight))
            lastWrite[inFlight % (Sections * KeysPerSection)] = inFlight;
    }
    EXPECT_EQ(kills, 40);
    EXPECT_GT(addedKeys.size(), 0);
}
