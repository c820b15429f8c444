#include "support/whoisport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

WhoisPortSocket BindWhoisPort() {
    // Each process starts at its own place among the addresses, so parallel runs rarely meet.
    const unsigned start = unsigned(::getpid()) * 7919u;
    for (unsigned i = 0; i < 4096; ++i) {
        const unsigned n = (start + i) % 65024u + 256u; // 127.43.1.0 to 127.43.254.255
        const uint32_t address = (127u << 24) | (43u << 16) | n;
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(43);
        addr.sin_addr.s_addr = htonl(address);
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
            return {fd, QString::fromLatin1(text)};
        }
        if (fd >= 0) ::close(fd);
    }
    return {};
}
