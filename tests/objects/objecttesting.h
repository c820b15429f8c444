#pragma once
// What the object tests share: the registries' sample objects, and the companion's object
// command run in a folder of the test's with a settings file of its own.
#include "support/process.h"

#include <QString>
#include <QStringList>

// A file of the samples (tests/samples/rpsl).
QString RpslSample(const QString& name);
// The text of a sample file.
QString RpslSampleText(const QString& name);
// `regiscribe-cli --settings SETTINGS object ARGS...` in `workDir`.
ProcessResult RunObjectCommand(const QStringList& args, const QString& workDir,
                               const QString& settings);
// The lines printed, and those of one verdict ("error", "warning", "ok").
QStringList PrintedLines(const ProcessResult& run);
QStringList VerdictLines(const ProcessResult& run, const QString& verdict);
