#pragma once
// Runs a program of the project (usually regiscribe-cli) to the end and keeps what it printed.
#include <QByteArray>
#include <QString>
#include <QStringList>

struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs `program` with `args` in `workDir` (the current folder when empty), feeding `input` on
// standard input; gives up after `timeoutMs`.
ProcessResult RunProgram(const QString& program, const QStringList& args,
                         const QString& workDir = QString(), const QByteArray& input = {},
                         int timeoutMs = 30000);
// The same for regiscribe-cli.
ProcessResult RunCli(const QStringList& args, const QString& workDir = QString(),
                     const QByteArray& input = {}, int timeoutMs = 30000);
