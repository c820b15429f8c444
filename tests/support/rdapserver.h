#pragma once
// The local HTTPS server of the RDAP tests (tests/lookup/rdap/rdap_server.py, Python's http.server
// and ssl) on a free loopback port, answering from a copy of the routes file that the test may
// change between look-ups, and noting every request. Stopped with its owner.
#include "support/childprocess.h"

#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>

class LocalRdapServer {
public:
    // `vars`: "NAME=VALUE" replacements for "@NAME@" in the routes.
    LocalRdapServer(const QString& cert, const QString& key, const QStringList& vars = {});
    ~LocalRdapServer();

    uint16_t Port() const { return port_; }
    // The bootstrap base URL it serves.
    QString Bootstrap() const;
    // The request paths received so far, in order.
    QStringList Requests() const;
    // The routes file it answers from (a copy of tests/lookup/rdap/routes.json).
    QString Routes() const { return dir_.filePath("routes.json"); }

private:
    QTemporaryDir dir_;
    ChildProcess process_;
    uint16_t port_ = 0;
};
