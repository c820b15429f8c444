#pragma once
// Loopback peers for the look-up tests. A ScriptedPeer plays a fixed script on each connection
// it accepts, on a thread of its own so the client under test runs its event loop undisturbed.
// Every wait is bounded; the destructor stops and joins it.
#include "support/whoisport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

struct ServerStep {
    enum Kind { ReadLine, Send, Pause, Reset, EchoQuery, SendRepeated, EndSending } kind;
    QByteArray bytes;
    int ms = 0; // Pause: milliseconds; SendRepeated: how many times
};
inline ServerStep ReadQuery() {
    return {ServerStep::ReadLine, {}, 0};
}
inline ServerStep Send(const QByteArray& bytes) {
    return {ServerStep::Send, bytes, 0};
}
inline ServerStep Pause(int ms) {
    return {ServerStep::Pause, {}, ms};
}
// Sends `bytes` `times` times over: a large answer without holding it whole.
inline ServerStep SendRepeated(const QByteArray& bytes, int times) {
    return {ServerStep::SendRepeated, bytes, times};
}
// Answers "query " and the connection's query line in hex (its line end included), so that a
// client shows what arrived, byte for byte.
inline ServerStep EchoQuery() {
    return {ServerStep::EchoQuery, {}, 0};
}
// Ends the connection with a reset (SO_LINGER 0) instead of a normal close.
// Ends the peer's sending (the client reads the end) and takes whatever the client still sends
// until it closes: a close that never turns into a reset, however the two sides' timing falls.
inline ServerStep EndSending() {
    return {ServerStep::EndSending, {}, 0};
}
inline ServerStep ResetConnection() {
    return {ServerStep::Reset, {}, 0};
}

// A listening socket on 127.0.0.1 with a free port chosen by the system.
inline int ListenOnLoopback(int backlog, uint16_t& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(fd, backlog);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

class ScriptedPeer {
public:
    explicit ScriptedPeer(std::vector<ServerStep> script, int connections = 1)
        : ScriptedPeer(Listener(), std::move(script), connections) {}
    // A listening socket made beforehand, so that peers can name each other's ports.
    struct Listener {
        Listener() { fd = ListenOnLoopback(8, port); }
        // On port 43 of a loopback address of its own (see whoisport.h), where WHOIS referrals go.
        static Listener OnWhoisPort() {
            const WhoisPortSocket socket = BindWhoisPort();
            Listener listener(socket.fd, 43);
            listener.host = socket.host;
            if (socket.fd >= 0) ::listen(socket.fd, 8);
            return listener;
        }
        int fd = -1;
        uint16_t port = 0;
        QString host = "127.0.0.1";

    private:
        Listener(int f, uint16_t p) : fd(f), port(p) {}
    };
    ScriptedPeer(Listener listener, std::vector<ServerStep> script, int connections = 1)
        : script_(std::move(script)), listener_(listener.fd), port_(listener.port),
          host_(listener.host) {
        thread_ = std::thread([this, connections] { Serve(connections); });
    }
    ~ScriptedPeer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    uint16_t port() const { return port_; }
    const QString& host() const { return host_; }
    // The query line of each connection, with its line end, in order.
    QList<QByteArray> Queries() const {
        std::lock_guard lock(mutex_);
        return queries_;
    }

private:
    // Waits for `events` on `fd` in short slices so that a stop is noticed; false on time-out.
    bool WaitFor(int fd, short events, int ms) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!stop_ && std::chrono::steady_clock::now() < end) {
            pollfd p{fd, events, 0};
            if (::poll(&p, 1, 50) > 0) return true;
        }
        return false;
    }
    void Serve(int connections) {
        for (int i = 0; i < connections && !stop_; ++i) {
            if (!WaitFor(listener_, POLLIN, 20000)) return;
            int peer = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (peer < 0) return;
            Play(peer);
            ::close(peer);
        }
    }
    // Blocks until `bytes` are sent (or the client is gone).
    static bool SendAll(int peer, const QByteArray& bytes) {
        for (qsizetype sent = 0; sent < bytes.size();) {
            const ssize_t n =
                ::send(peer, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += n;
        }
        return true;
    }
    void Play(int peer) {
        QByteArray query;
        for (const ServerStep& step : script_) {
            if (stop_) return;
            switch (step.kind) {
            case ServerStep::ReadLine: {
                QByteArray line;
                char c = 0;
                while (!line.endsWith('\n') && WaitFor(peer, POLLIN, 10000) &&
                       ::recv(peer, &c, 1, 0) == 1)
                    line += c;
                query = line;
                std::lock_guard lock(mutex_);
                queries_ << line;
                break;
            }
            case ServerStep::EchoQuery: {
                const QByteArray echo = "query " + query.toHex() + "\r\n";
                ::send(peer, echo.constData(), size_t(echo.size()), MSG_NOSIGNAL);
                break;
            }
            case ServerStep::Send:
                ::send(peer, step.bytes.constData(), size_t(step.bytes.size()), MSG_NOSIGNAL);
                break;
            case ServerStep::SendRepeated:
                for (int i = 0; i < step.ms && !stop_; ++i)
                    if (!SendAll(peer, step.bytes)) return;
                break;
            case ServerStep::Pause:
                std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
                break;
            case ServerStep::EndSending: {
                ::shutdown(peer, SHUT_WR);
                char sink[512];
                while (WaitFor(peer, POLLIN, 10000) && ::recv(peer, sink, sizeof sink, 0) > 0) {
                }
                return;
            }
            case ServerStep::Reset: {
                linger hard{1, 0};
                ::setsockopt(peer, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                return;
            }
            }
        }
    }

    std::vector<ServerStep> script_;
    int listener_ = -1;
    uint16_t port_ = 0;
    QString host_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    QList<QByteArray> queries_;
};

// A loopback listener whose accept queue is full, so a new connection attempt stays pending.
class PendingServer {
public:
    PendingServer() {
        listener_ = ListenOnLoopback(0, port_);
        // Fill the queue until an attempt no longer completes.
        for (int i = 0; i < 8; ++i) {
            int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_port = htons(port_);
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
            fillers_.push_back(fd);
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 150) == 0) break;
        }
    }
    ~PendingServer() {
        for (int fd : fillers_)
            ::close(fd);
        ::close(listener_);
    }
    uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    uint16_t port_ = 0;
    std::vector<int> fillers_;
};
