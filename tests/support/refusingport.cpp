#include "support/refusingport.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

RefusingPort::RefusingPort() {
    // No SO_REUSEADDR: no other socket can be bound to the port while this one holds it.
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        std::perror("RefusingPort");
        std::abort();
    }
    port_ = ntohs(addr.sin_port);
}

RefusingPort::RefusingPort(const WhoisPortSocket& socket)
    : fd_(socket.fd), port_(43), host_(socket.host) {}

RefusingPort::~RefusingPort() {
    if (fd_ >= 0) ::close(fd_);
}
