#include "support/process.h"

#include "support/childprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

ProcessResult RunProgram(const QString& program, const QStringList& args, const QString& workDir,
                         const QByteArray& input, int timeoutMs) {
    ChildProcess p;
    p.SetWorkingDirectory(workDir);
    ProcessResult r;
    if (!p.Start(program, args)) return r;
    p.Write(input, timeoutMs);
    p.CloseInput();
    if (!p.WaitForFinished(timeoutMs)) {
        p.Kill();
        p.WaitForFinished(30000);
    }
    r.exitCode = p.ExitCode();
    r.out = p.TakeOutput();
    r.err = p.TakeError();
    return r;
}

ProcessResult RunCli(const QStringList& args, const QString& workDir, const QByteArray& input,
                     int timeoutMs) {
    return RunProgram(REGISCRIBE_CLI, args, workDir, input, timeoutMs);
}

uint16_t StartPythonServer(ChildProcess& process, const QString& script, const QStringList& args) {
    process.SetError(ChildProcess::Channel::Inherit);
    if (!process.Start("/usr/bin/python3",
                       QStringList{QString(TESTS_SOURCE_DIR) + "/" + script} + args))
        return 0;
    process.WaitForOutput("\n", 15000);
    const QByteArray line = process.Output();
    return line.startsWith("PORT ") ? uint16_t(line.mid(5).trimmed().toUInt()) : 0;
}

void StopPythonServer(ChildProcess& process, int timeoutMs) {
    if (!process.Running()) return;
    process.CloseInput();
    if (!process.WaitForFinished(timeoutMs)) {
        process.Kill();
        process.WaitForFinished(5000);
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
