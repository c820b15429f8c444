#pragma once
// A loopback port that refuses every connection: a socket bound to it that never listens, held
// for the object's life. A port that was bound and closed again may belong to any other program a
// moment later (a parallel test's server among them), so a test that used one passed by luck.
#include "support/whoisport.h"

#include <QString>
#include <cstdint>

class RefusingPort {
public:
    // A port of 127.0.0.1 chosen by the system.
    RefusingPort();
    // Port 43 of the address of `socket` (see whoisport.h).
    explicit RefusingPort(const WhoisPortSocket& socket);
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    uint16_t port() const { return port_; }
    const QString& host() const { return host_; }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
    QString host_ = "127.0.0.1";
};
