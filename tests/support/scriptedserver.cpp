#include "support/scriptedserver.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// No connection of a test lives longer than this without traffic.
constexpr int kIdleLimitMs = 20000;
constexpr int kPollSliceMs = 50;
} // namespace

ScriptedServer::ScriptedServer(Script script, ServerReply greeting)
    : script_(std::move(script)), greeting_(std::move(greeting)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener_, 16);
    socklen_t len = sizeof addr;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
}

ScriptedServer::~ScriptedServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

QByteArrayList ScriptedServer::Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

QByteArrayList ScriptedServer::EarlyLines() const {
    std::lock_guard lock(mutex_);
    return early_;
}

QByteArray ScriptedServer::Data() const {
    std::lock_guard lock(mutex_);
    return data_;
}

QByteArray ScriptedServer::Raw() const {
    std::lock_guard lock(mutex_);
    return raw_;
}

ServerReply ScriptedServer::Usual(const QByteArray& command) {
    const QByteArray upper = command.toUpper();
    if (upper == "DATA") return ServerReply::Say("354 go ahead");
    if (upper == "QUIT") return ServerReply::SayAndClose("221 bye");
    return ServerReply::Say("250 ok");
}

void ScriptedServer::Run() {
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, kPollSliceMs) <= 0) continue;
        int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++connections_;
        ++open_;
        Serve(fd);
        ::close(fd);
        --open_;
    }
}

bool ScriptedServer::ReadMore(int fd, QByteArray& pending, int timeoutMs) {
    auto start = std::chrono::steady_clock::now();
    while (!stop_) {
        pollfd p{fd, POLLIN, 0};
        int r = ::poll(&p, 1, kPollSliceMs);
        if (r > 0) {
            char buffer[4096];
            ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return false;
            pending.append(buffer, n);
            std::lock_guard lock(mutex_);
            raw_.append(buffer, n);
            return true;
        }
        auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
        if (waited >= timeoutMs) return false;
    }
    return false;
}

bool ScriptedServer::SendReply(int fd, const ServerReply& reply, QByteArray& pending) {
    if (reply.kind == ServerReply::Close) return false;
    if (reply.kind == ServerReply::Reset) {
        linger hard{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        return false;
    }
    if (reply.kind == ServerReply::Silent) return true;
    if (reply.raw) {
        ::send(fd, reply.text.constData(), size_t(reply.text.size()), MSG_NOSIGNAL);
        return !reply.closeAfter;
    }
    const QByteArrayList lines = reply.text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray out = lines[i] + "\r\n";
        ::send(fd, out.constData(), size_t(out.size()), MSG_NOSIGNAL);
        if (reply.pauseMs > 0 && i + 1 < lines.size()) {
            // Whatever the client sends before the reply is complete is noted as early.
            auto until =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(reply.pauseMs);
            while (std::chrono::steady_clock::now() < until) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 10) > 0) {
                    qsizetype before = pending.size();
                    if (!ReadMore(fd, pending, 10)) break;
                    std::lock_guard lock(mutex_);
                    early_ << pending.mid(before);
                }
            }
        }
    }
    return !reply.closeAfter;
}

void ScriptedServer::Serve(int fd) {
    QByteArray pending;
    if (!SendReply(fd, greeting_, pending)) return;
    bool inData = false;
    QByteArray data;
    for (;;) {
        qsizetype lf = pending.indexOf('\n');
        if (lf < 0) {
            if (!ReadMore(fd, pending, kIdleLimitMs)) return;
            continue;
        }
        QByteArray line = pending.left(lf + 1);
        pending.remove(0, lf + 1);
        QByteArray command = line;
        while (command.endsWith('\n') || command.endsWith('\r'))
            command.chop(1);
        if (inData) {
            if (command != ".") {
                data += line;
                continue;
            }
            inData = false;
            std::lock_guard lock(mutex_);
            data_ = data;
        }
        {
            std::lock_guard lock(mutex_);
            commands_ << command;
        }
        ServerReply reply = script_ ? script_(command) : Usual(command);
        if (command.toUpper() == "DATA" && reply.kind == ServerReply::Text &&
            reply.text.startsWith('3')) {
            inData = true;
            data.clear();
        }
        if (!SendReply(fd, reply, pending)) return;
    }
}
