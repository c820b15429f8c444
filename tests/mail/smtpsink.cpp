#include "smtpsink.h"

#include "platform/wait.h"

#include <QDir>
#include <QFile>

namespace {
QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

SmtpSink::SmtpSink() {
    process_.setProgram("/usr/bin/python3");
    process_.setArguments({TESTS_SOURCE_DIR "/mail/smtp_sink.py", folder_.path(), "120"});
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    if (!process_.waitForStarted(10000)) return;
    QByteArray line;
    while (!line.contains('\n') && process_.waitForReadyRead(15000))
        line += process_.readAll();
    if (line.startsWith("PORT ")) port_ = uint16_t(line.mid(5).trimmed().toUInt());
}

SmtpSink::~SmtpSink() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
}

int SmtpSink::Count() const {
    return int(QDir(folder_.path()).entryList({"*.eml"}, QDir::Files).size());
}

QByteArray SmtpSink::Text(int n) const {
    return FileBytes(folder_.filePath(QString("%1.eml").arg(n, 4, 10, QChar('0'))));
}

QByteArray SmtpSink::Envelope(int n) const {
    return FileBytes(folder_.filePath(QString("%1.env").arg(n, 4, 10, QChar('0'))));
}

bool SmtpSink::WaitForCount(int count, int timeoutMs) const {
    return WaitUntil([&] { return Count() >= count; }, timeoutMs);
}
