#include "support/process.h"

#include <QDeadlineTimer>
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

uint16_t StartPythonServer(QProcess& process, const QString& script, const QStringList& args) {
    process.setProgram("/usr/bin/python3");
    process.setArguments(QStringList{QString(TESTS_SOURCE_DIR) + "/" + script} + args);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start();
    if (!process.waitForStarted(10000)) return 0;
    QByteArray line;
    QDeadlineTimer deadline(15000);
    while (!line.contains('\n') && !deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        line += process.readAll();
    }
    return line.startsWith("PORT ") ? uint16_t(line.mid(5).trimmed().toUInt()) : 0;
}

void StopPythonServer(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.closeWriteChannel();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}
