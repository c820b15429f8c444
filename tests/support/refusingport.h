#pragma once
// A loopback port that refuses every connection: a socket bound to it that never listens, held
// for the object's life. A port that was bound and closed again may belong to any other program a
// moment later (a parallel test's server among them), so a test that used one passed by luck.
#include <cstdint>

class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    uint16_t port() const { return port_; }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
};
