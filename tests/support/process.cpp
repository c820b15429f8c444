#include "support/process.h"

#include <QProcess>

ProcessResult RunProgram(const QString& program, const QStringList& args, const QString& workDir,
                         const QByteArray& input, int timeoutMs) {
    QProcess p;
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(program, args);
    ProcessResult r;
    if (!p.waitForStarted(timeoutMs)) return r;
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

ProcessResult RunCli(const QStringList& args, const QString& workDir, const QByteArray& input,
                     int timeoutMs) {
    return RunProgram(REGISCRIBE_CLI, args, workDir, input, timeoutMs);
}
