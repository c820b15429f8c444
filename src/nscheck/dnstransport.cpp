#include "nscheck/dnstransport.h"

#include <QDeadlineTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
socklen_t Address(const IpAddress& ip, quint16 port, sockaddr_storage& storage) {
    std::memset(&storage, 0, sizeof storage);
    if (ip.v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(port);
        std::memcpy(&a->sin6_addr, ip.bytes.data(), 16);
        return sizeof(sockaddr_in6);
    }
    auto* a = reinterpret_cast<sockaddr_in*>(&storage);
    a->sin_family = AF_INET;
    a->sin_port = htons(port);
    std::memcpy(&a->sin_addr, ip.bytes.data(), 4);
    return sizeof(sockaddr_in);
}

// Closes the socket on every way out.
struct Socket {
    int fd = -1;
    ~Socket() {
        if (fd >= 0) ::close(fd);
    }
};

// Waits for `events` on `fd` until the deadline; false when time ran out.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, int(std::max<qint64>(0, deadline.remainingTime())));
        if (n < 0 && errno == EINTR) continue;
        return n > 0;
    }
}

bool SameId(const QByteArray& reply, const QByteArray& query) {
    return reply.size() >= 12 && query.size() >= 2 && reply[0] == query[0] && reply[1] == query[1];
}

QString Failure(const char* what, int error) {
    return QString("%1 (%2)").arg(what, QString::fromLocal8Bit(std::strerror(error)));
}
} // namespace

DnsExchange AskOverUdp(const IpAddress& server, quint16 port, const QByteArray& query,
                       int timeoutMs, int tries) {
    DnsExchange exchange;
    Socket s;
    s.fd = ::socket(server.v6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_storage to{};
    const socklen_t size = Address(server, port, to);
    // Connected, so that a port where nothing listens is told at once (ICMP unreachable).
    if (s.fd < 0 || ::connect(s.fd, reinterpret_cast<sockaddr*>(&to), size) != 0) {
        exchange.problem = Failure("no UDP socket", errno);
        return exchange;
    }
    for (int attempt = 0; attempt < tries; ++attempt) {
        if (::send(s.fd, query.constData(), size_t(query.size()), 0) < 0) {
            exchange.problem =
                errno == ECONNREFUSED ? QString("UDP refused") : Failure("UDP failed", errno);
            return exchange;
        }
        const QDeadlineTimer deadline(timeoutMs);
        while (WaitFor(s.fd, POLLIN, deadline)) {
            char buffer[65536];
            const ssize_t n = ::recv(s.fd, buffer, sizeof buffer, 0);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                exchange.problem =
                    errno == ECONNREFUSED ? QString("UDP refused") : Failure("UDP failed", errno);
                return exchange;
            }
            const QByteArray reply(buffer, qsizetype(n));
            // A reply to an earlier try, or a stray one, is not this question's answer.
            if (!SameId(reply, query)) continue;
            exchange.answered = true;
            exchange.reply = reply;
            return exchange;
        }
    }
    exchange.problem = "no answer over UDP";
    return exchange;
}

DnsExchange AskOverTcp(const IpAddress& server, quint16 port, const QByteArray& query,
                       int timeoutMs) {
    DnsExchange exchange;
    const QDeadlineTimer deadline(timeoutMs);
    Socket s;
    s.fd = ::socket(server.v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_storage to{};
    const socklen_t size = Address(server, port, to);
    if (s.fd < 0) {
        exchange.problem = Failure("no TCP socket", errno);
        return exchange;
    }
    if (::connect(s.fd, reinterpret_cast<sockaddr*>(&to), size) != 0 && errno != EINPROGRESS) {
        exchange.problem =
            errno == ECONNREFUSED ? QString("TCP refused") : Failure("TCP failed", errno);
        return exchange;
    }
    if (!WaitFor(s.fd, POLLOUT, deadline)) {
        exchange.problem = "no answer over TCP";
        return exchange;
    }
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) {
        exchange.problem =
            error == ECONNREFUSED ? QString("TCP refused") : Failure("TCP failed", error);
        return exchange;
    }
    QByteArray framed;
    framed.append(char(query.size() >> 8)).append(char(query.size() & 0xFF)).append(query);
    qsizetype sent = 0;
    while (sent < framed.size()) {
        if (!WaitFor(s.fd, POLLOUT, deadline)) {
            exchange.problem = "no answer over TCP";
            return exchange;
        }
        const ssize_t n =
            ::send(s.fd, framed.constData() + sent, size_t(framed.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n < 0) {
            exchange.problem = Failure("TCP failed", errno);
            return exchange;
        }
        sent += n;
    }
    QByteArray received;
    qsizetype wanted = -1;
    while (wanted < 0 || received.size() < wanted + 2) {
        if (!WaitFor(s.fd, POLLIN, deadline)) {
            exchange.problem = "no answer over TCP";
            return exchange;
        }
        char buffer[4096];
        const ssize_t n = ::recv(s.fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n < 0) {
            exchange.problem = Failure("TCP failed", errno);
            return exchange;
        }
        if (n == 0) {
            exchange.problem = "TCP closed without an answer";
            return exchange;
        }
        received.append(buffer, qsizetype(n));
        if (wanted < 0 && received.size() >= 2)
            wanted = (quint8(received[0]) << 8) | quint8(received[1]);
    }
    exchange.reply = received.mid(2, wanted);
    if (!SameId(exchange.reply, query)) {
        exchange.problem = "TCP answer to another question";
        return exchange;
    }
    exchange.answered = true;
    return exchange;
}
