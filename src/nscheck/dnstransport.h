#pragma once
// One DNS question to one server address and port, over UDP (each try waits its time, then one
// more try) or TCP (connect and answer within the time), on blocking sockets with deadlines: the
// checks run these on threads of their own. A reply counts only when it carries the question's id.
#include "platform/ipaddress.h"

#include <QByteArray>
#include <QString>

struct DnsExchange {
    bool answered = false;
    QByteArray reply;
    QString problem; // "no answer over UDP", "TCP refused", ...
};

DnsExchange AskOverUdp(const IpAddress& server, quint16 port, const QByteArray& query,
                       int timeoutMs, int tries);
DnsExchange AskOverTcp(const IpAddress& server, quint16 port, const QByteArray& query,
                       int timeoutMs);
