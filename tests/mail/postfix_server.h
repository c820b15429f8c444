#pragma once
// A real Postfix on a free loopback port for one test (postfix_server.py): it delivers every
// message for registry.test into a Maildir, as a registry's mail exchanger stores it. Needs root
// and Debian's postfix package; Port() is 0 otherwise. Stopped, with every process it started,
// when the object ends.
#include "platform/wait.h"
#include "support/childprocess.h"
#include "support/process.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class LocalPostfix {
public:
    LocalPostfix() {
        port_ = StartPythonServer(process_, "mail/postfix_server.py", {"--dir", dir_.path()});
    }
    // Postfix's master is stopped and waited for before the script ends.
    ~LocalPostfix() { StopPythonServer(process_, 30000); }

    uint16_t Port() const { return port_; }
    QString Address() const { return "127.0.0.1:" + QString::number(port_); }

    // The delivered messages as stored, oldest first, once `count` of them are there (or after
    // `timeoutMs`, with those there are).
    QList<QByteArray> Delivered(qsizetype count, int timeoutMs = 20000) const {
        const QDir box(dir_.filePath("mail/registry/new"));
        WaitUntil([&] { return box.entryList(QDir::Files).size() >= count; }, timeoutMs);
        QList<QByteArray> messages;
        for (const QString& name : box.entryList(QDir::Files, QDir::Time | QDir::Reversed)) {
            QFile file(box.filePath(name));
            if (file.open(QIODevice::ReadOnly)) messages << file.readAll();
        }
        return messages;
    }

private:
    QTemporaryDir dir_;
    ChildProcess process_;
    uint16_t port_ = 0;
};
