#include "support/rdapserver.h"

#include "support/process.h"
#include "support/tempdir.h"

#include <QFile>

LocalRdapServer::LocalRdapServer(const QString& cert, const QString& key, const QStringList& vars) {
    QFile::copy(QString(TESTS_SOURCE_DIR) + "/lookup/rdap/routes.json", Routes());
    QFile::setPermissions(Routes(), QFile::ReadOwner | QFile::WriteOwner);
    QStringList args{"--cert",   cert,     "--key", key,
                     "--routes", Routes(), "--log", dir_.filePath("requests.log")};
    for (const QString& var : vars)
        args << "--var" << var;
    port_ = StartPythonServer(process_, "lookup/rdap/rdap_server.py", args);
}

LocalRdapServer::~LocalRdapServer() {
    StopPythonServer(process_);
}

QString LocalRdapServer::Bootstrap() const {
    return "https://localhost:" + QString::number(port_) + "/bootstrap/";
}

QStringList LocalRdapServer::Requests() const {
    QStringList lines = QString::fromUtf8(ReadAll(dir_.filePath("requests.log"))).split('\n');
    lines.removeAll(QString());
    return lines;
}
