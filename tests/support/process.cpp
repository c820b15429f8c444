#include "support/process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

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

pid_t GroupWrittenTo(const QString& file) {
    QDeadlineTimer deadline(2000);
    do {
        QFile f(file);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray text = f.readAll().trimmed();
            if (!text.isEmpty()) return pid_t(text.toLongLong());
        }
        QThread::msleep(20);
    } while (!deadline.hasExpired());
    return 0;
}

bool GroupRuns(pid_t group) {
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        // "pid (name) state ppid pgrp ...": the name may hold blanks and parentheses.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z") return true;
    }
    return false;
}

QStringList OutputLines(const QByteArray& out) {
    QStringList lines = QString::fromUtf8(out).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}
