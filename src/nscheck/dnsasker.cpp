#include "nscheck/dnsasker.h"

#include "platform/module.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

Result<DnsCodec*> Codec() {
    Result<DnsCodec*> codec = SharedModuleInterface<DnsCodec>(DnsModuleName, DnsModuleEntry);
    if (!codec) return Fail("DNS is not available: " + codec.Error());
    return codec;
}

struct DnsAsker::Exchange {
    DnsQuestion question;
    std::function<void(const DnsReply&)> done;
    bool started = false, finished = false;
    int fd = -1;
    QByteArray query;
    int triesLeft = 0;
    QDeadlineTimer tryDeadline;
    // TCP: the framed query, how much of it went out, what came back.
    bool connecting = false;
    QByteArray out;
    qsizetype sent = 0;
    QByteArray in;
    // Messages dropped as no answer to this question, and why the last one was.
    int dropped = 0;
    QString droppedWhy;
    bool truncated = false, ednsFormErr = false;

    void Close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    ~Exchange() { Close(); }
};

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

bool SameSender(const sockaddr_storage& from, const IpAddress& ip, quint16 port) {
    if (ip.v6) {
        const auto* a = reinterpret_cast<const sockaddr_in6*>(&from);
        return from.ss_family == AF_INET6 && ntohs(a->sin6_port) == port &&
               std::memcmp(&a->sin6_addr, ip.bytes.data(), 16) == 0;
    }
    const auto* a = reinterpret_cast<const sockaddr_in*>(&from);
    return from.ss_family == AF_INET && ntohs(a->sin_port) == port &&
           std::memcmp(&a->sin_addr, ip.bytes.data(), 4) == 0;
}

// No route to the address at all: nothing this machine can send will reach it.
bool NoRoute(int error) {
    return error == ENETUNREACH || error == EHOSTUNREACH || error == EADDRNOTAVAIL ||
           error == EAFNOSUPPORT;
}

QString SocketFailure(const char* what, int error) {
    return QString("%1 (%2)").arg(what, QString::fromLocal8Bit(std::strerror(error)));
}

QString Transport(const DnsQuestion& q) {
    return q.tcp ? "TCP" : "UDP";
}
} // namespace

DnsAsker::DnsAsker(DnsCodec& codec, CancelToken token, QDeadlineTimer deadline)
    : codec_(codec), token_(std::move(token)), deadline_(deadline) {}

DnsAsker::~DnsAsker() = default;

void DnsAsker::Ask(const DnsQuestion& question, std::function<void(const DnsReply&)> done) {
    auto e = std::make_unique<Exchange>();
    e->question = question;
    e->done = std::move(done);
    open_.push_back(std::move(e));
}

void DnsAsker::Finish(Exchange& e, DnsReply reply) {
    e.Close();
    e.finished = true;
    reply.truncated = e.truncated;
    reply.ednsFormErr = e.ednsFormErr;
    if (!reply.answered && e.dropped > 0)
        reply.problem +=
            QString(" (%1 dropped: %2)")
                .arg(e.dropped == 1 ? QString("1 reply") : QString("%1 replies").arg(e.dropped),
                     e.droppedWhy);
    if (!token_.Cancelled() && e.done) e.done(reply);
}

void DnsAsker::Start(Exchange& e) {
    e.started = true;
    e.connecting = false;
    e.out.clear();
    e.in.clear();
    e.sent = 0;
    DnsReply failed;
    if (deadline_.hasExpired()) {
        failed.problem = "not asked: the check's time ran out";
        return Finish(e, failed);
    }
    const DnsQuestion& q = e.question;
    const quint16 id = quint16(QRandomGenerator::system()->bounded(65536));
    e.query = codec_.Query(q.name, q.type, id, q.form, failed.problem);
    if (e.query.isEmpty()) return Finish(e, failed);
    e.fd = ::socket(q.server.v6 ? AF_INET6 : AF_INET,
                    (q.tcp ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (e.fd < 0) {
        failed.unreachable = NoRoute(errno);
        failed.problem = SocketFailure(q.tcp ? "no TCP socket" : "no UDP socket", errno);
        return Finish(e, failed);
    }
    sockaddr_storage to{};
    const socklen_t size = Address(q.server, q.port, to);
    // UDP too is connected, so that a port where nothing listens is told at once (ICMP).
    if (::connect(e.fd, reinterpret_cast<sockaddr*>(&to), size) != 0 && errno != EINPROGRESS) {
        // No route at all is told in the system's words: the line says what it means.
        const int error = errno;
        failed.unreachable = NoRoute(error);
        failed.problem = failed.unreachable ? QString::fromLocal8Bit(std::strerror(error))
                         : error == ECONNREFUSED
                             ? Transport(q) + " refused"
                             : SocketFailure(q.tcp ? "TCP failed" : "UDP failed", error);
        return Finish(e, failed);
    }
    if (q.tcp) {
        e.connecting = true;
        e.out.append(char(e.query.size() >> 8)).append(char(e.query.size() & 0xFF));
        e.out.append(e.query);
        e.tryDeadline.setRemainingTime(
            std::min<qint64>(kDnsTimeoutMs, std::max<qint64>(0, deadline_.remainingTime())));
        return;
    }
    e.triesLeft = 2;
    SendUdp(e);
}

void DnsAsker::SendUdp(Exchange& e) {
    if (::send(e.fd, e.query.constData(), size_t(e.query.size()), 0) < 0 && errno != EAGAIN) {
        DnsReply failed;
        failed.unreachable = NoRoute(errno);
        failed.problem =
            errno == ECONNREFUSED ? QString("UDP refused") : SocketFailure("UDP failed", errno);
        return Finish(e, failed);
    }
    // The tries share what is left of the check's time, each at most the question's limit.
    const qint64 left = std::max<qint64>(0, deadline_.remainingTime());
    e.tryDeadline.setRemainingTime(std::min<qint64>(kDnsTimeoutMs, left / e.triesLeft));
    --e.triesLeft;
}

Result<DnsMessage> DnsAsker::ReadAnswer(const Exchange& e, const QByteArray& wire) {
    if (wire.size() < 12 || wire.left(2) != e.query.left(2)) return Fail("a reply with another id");
    DnsMessage message = codec_.Read(wire);
    if (!message.parsed) return Fail("a message that cannot be read: " + message.problem);
    if (!message.qr) return Fail("a message with QR clear");
    const QString asked = e.question.name.toLower();
    if (message.questions != 1 || message.questionName != asked ||
        message.questionType != e.question.type)
        return Fail("a reply to another question");
    return message;
}

void DnsAsker::Answered(Exchange& e, const DnsMessage& message) {
    DnsQuestion& q = e.question;
    if (!q.tcp && message.tc) {
        // Truncated: the same question over TCP decides.
        e.Close();
        e.truncated = true;
        q.tcp = true;
        return Start(e);
    }
    if (q.form.edns && message.rcode == dns::FormErr && q.retryWithoutEdns) {
        e.Close();
        e.ednsFormErr = true;
        q.form.edns = false;
        return Start(e);
    }
    DnsReply reply;
    reply.answered = true;
    reply.message = message;
    Finish(e, reply);
}

void DnsAsker::Readable(Exchange& e) {
    char buffer[65536];
    for (;;) {
        if (e.finished || e.fd < 0) return;
        if (!e.question.tcp) {
            sockaddr_storage from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = ::recvfrom(e.fd, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (n < 0) {
                if (errno == EINTR) continue;
                if (errno == EAGAIN) return;
                DnsReply failed;
                failed.unreachable = NoRoute(errno);
                failed.problem = errno == ECONNREFUSED ? QString("UDP refused")
                                                       : SocketFailure("UDP failed", errno);
                return Finish(e, failed);
            }
            const Result<DnsMessage> answer = SameSender(from, e.question.server, e.question.port)
                                                  ? ReadAnswer(e, QByteArray(buffer, qsizetype(n)))
                                                  : Fail("a reply from another address");
            if (answer) return Answered(e, *answer);
            ++e.dropped;
            e.droppedWhy = answer.Error();
            continue;
        }
        const ssize_t n = ::recv(e.fd, buffer, sizeof buffer, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) return;
            DnsReply failed;
            failed.problem = SocketFailure("TCP failed", errno);
            return Finish(e, failed);
        }
        if (n == 0) {
            DnsReply failed;
            failed.problem = "TCP closed without an answer";
            return Finish(e, failed);
        }
        e.in.append(buffer, qsizetype(n));
        // Every whole message that came: the answer, or dropped like a stray UDP reply.
        while (e.in.size() >= 2) {
            const qsizetype size = (quint8(e.in[0]) << 8) | quint8(e.in[1]);
            if (e.in.size() < size + 2) break;
            const QByteArray wire = e.in.mid(2, size);
            e.in.remove(0, size + 2);
            const Result<DnsMessage> answer = ReadAnswer(e, wire);
            if (answer) return Answered(e, *answer);
            ++e.dropped;
            e.droppedWhy = answer.Error();
        }
    }
}

void DnsAsker::Writable(Exchange& e) {
    if (e.connecting) {
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(e.fd, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            DnsReply failed;
            failed.unreachable = NoRoute(error);
            failed.problem =
                error == ECONNREFUSED ? QString("TCP refused") : SocketFailure("TCP failed", error);
            return Finish(e, failed);
        }
        e.connecting = false;
    }
    while (e.sent < e.out.size()) {
        const ssize_t n =
            ::send(e.fd, e.out.constData() + e.sent, size_t(e.out.size() - e.sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return;
        if (n < 0) {
            DnsReply failed;
            failed.problem = SocketFailure("TCP failed", errno);
            return Finish(e, failed);
        }
        e.sent += n;
    }
}

void DnsAsker::Expired(Exchange& e) {
    if (!e.question.tcp && e.triesLeft > 0 && !deadline_.hasExpired()) return SendUdp(e);
    DnsReply failed;
    failed.problem = "no answer over " + Transport(e.question);
    Finish(e, failed);
}

void DnsAsker::Run() {
    std::vector<pollfd> fds;
    std::vector<Exchange*> polled;
    while (!token_.Cancelled()) {
        // Questions asked meanwhile start now (never inside Ask: its caller sees no answer early).
        for (size_t i = 0; i < open_.size(); ++i)
            if (!open_[i]->started) Start(*open_[i]);
        std::erase_if(open_, [](const std::unique_ptr<Exchange>& e) { return e->finished; });
        if (open_.empty()) return;
        if (std::any_of(open_.begin(), open_.end(),
                        [](const std::unique_ptr<Exchange>& e) { return !e->started; }))
            continue;
        fds.clear();
        polled.clear();
        qint64 wait = std::max<qint64>(0, deadline_.remainingTime());
        for (const auto& e : open_) {
            const bool sending = e->question.tcp && (e->connecting || e->sent < e->out.size());
            fds.push_back({e->fd, short(sending ? POLLOUT : POLLIN), 0});
            polled.push_back(e.get());
            wait = std::min(wait, std::max<qint64>(0, e->tryDeadline.remainingTime()));
        }
        fds.push_back({token_.WakeDescriptor(), POLLIN, 0});
        const int n = ::poll(fds.data(), nfds_t(fds.size()), int(wait));
        if (n < 0 && errno != EINTR) return;
        if (token_.Cancelled()) return;
        for (size_t i = 0; n > 0 && i < polled.size(); ++i) {
            Exchange& e = *polled[i];
            if (e.finished || fds[i].revents == 0 || e.fd != fds[i].fd) continue;
            if (fds[i].events == POLLOUT)
                Writable(e);
            else
                Readable(e);
        }
        const bool late = deadline_.hasExpired();
        for (Exchange* e : polled)
            if (!e->finished && e->started && (late || e->tryDeadline.hasExpired())) {
                if (late) e->triesLeft = 0;
                Expired(*e);
            }
    }
}
