#include "objects/objecttesting.h"

#include "support/tempdir.h"

QString RpslSample(const QString& name) {
    return QString(TESTS_SOURCE_DIR) + "/samples/rpsl/" + name;
}

QString RpslSampleText(const QString& name) {
    return QString::fromUtf8(ReadAll(RpslSample(name)));
}

ProcessResult RunObjectCommand(const QStringList& args, const QString& workDir,
                               const QString& settings) {
    return RunCli(QStringList{"--settings", settings, "object"} + args, workDir);
}

QStringList PrintedLines(const ProcessResult& run) {
    return QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
}

QStringList VerdictLines(const ProcessResult& run, const QString& verdict) {
    QStringList lines;
    for (const QString& line : PrintedLines(run))
        if (line.startsWith(verdict.leftJustified(8, ' '))) lines << line;
    return lines;
}
