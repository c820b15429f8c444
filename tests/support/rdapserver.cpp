#include "support/rdapserver.h"

#include "support/tempdir.h"

#include <QDeadlineTimer>
#include <QFile>

LocalRdapServer::LocalRdapServer(const QString& cert, const QString& key, const QStringList& vars) {
    QFile::copy(QString(TESTS_SOURCE_DIR) + "/lookup/rdap/routes.json", Routes());
    QFile::setPermissions(Routes(), QFile::ReadOwner | QFile::WriteOwner);
    QStringList args{QString(TESTS_SOURCE_DIR) + "/lookup/rdap/rdap_server.py",
                     "--cert",
                     cert,
                     "--key",
                     key,
                     "--routes",
                     Routes(),
                     "--log",
                     dir_.filePath("requests.log")};
    for (const QString& var : vars)
        args << "--var" << var;
    process_.setProgram("/usr/bin/python3");
    process_.setArguments(args);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    if (!process_.waitForStarted(10000)) return;
    QByteArray line;
    QDeadlineTimer deadline(15000);
    while (!line.contains('\n') && !deadline.hasExpired() &&
           process_.state() == QProcess::Running) {
        process_.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        line += process_.readAll();
    }
    if (line.startsWith("PORT ")) port_ = line.mid(5).trimmed().toUShort();
}

LocalRdapServer::~LocalRdapServer() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.closeWriteChannel();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString LocalRdapServer::Bootstrap() const {
    return "https://localhost:" + QString::number(port_) + "/bootstrap/";
}

QStringList LocalRdapServer::Requests() const {
    QStringList lines = QString::fromUtf8(ReadAll(dir_.filePath("requests.log"))).split('\n');
    lines.removeAll(QString());
    return lines;
}
