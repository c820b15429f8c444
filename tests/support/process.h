#pragma once
// Runs a program of the project (usually regiscribe-cli) to the end and keeps what it printed.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <sys/types.h>

// The lines a program printed, without the empty one after the last line end.
QStringList OutputLines(const QByteArray& out);

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

class ChildProcess;

// Starts one of the tests' Python servers with Debian's Python (`script` below the tests' source
// folder) and waits for its first line, "PORT <n>"; the port, or 0 when it did not come up.
uint16_t StartPythonServer(ChildProcess& process, const QString& script, const QStringList& args);
// Ends such a server: its standard input is closed (it stops by itself within `timeoutMs`), else
// it is killed.
void StopPythonServer(ChildProcess& process, int timeoutMs = 5000);

// The process group a shell command wrote into `file` ("echo $$ > file": a command started in a
// group of its own leads it), waiting up to 2 s for it; 0 when none came.
pid_t GroupWrittenTo(const QString& file);
// Whether a process of `group` still runs (one that ended but is not yet reaped does not).
bool GroupRuns(pid_t group);
