#pragma once
// Runs a user's command through /bin/sh -c and takes its standard output: the password and
// passphrase commands of the companion. The command is started with posix_spawn, so a large
// program does not copy itself for it; its standard input and error are /dev/null.
#include <QByteArray>
#include <QString>

struct ShellCommandResult {
    bool started = false;  // /bin/sh could be started
    bool finished = false; // it ended by itself within the time given (not by a signal)
    int exitStatus = -1;   // its exit status when it finished
    QByteArray output;     // what it printed (at most the limit given)
};

ShellCommandResult RunShellCommand(const QString& command, int timeoutMs,
                                   qsizetype outputLimit = 64 * 1024);
// The first line of `output` without its line end.
QByteArray FirstLine(const QByteArray& output);
