#include "support/hostilesoak.h"

#include "lookup/fingerlookup.h"
#include "lookup/lcipport.h"
#include "lookup/lookupview.h"
#include "lookup/whoislookup.h"
#include "mail/mssmtp.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"
#include "support/loopbackpeer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <random>

namespace {
// --- The process's holdings ---------------------------------------------------------------------

// The process's open sockets and files (not its pipes or devices, which the runtime and a
// sanitizer's own reporting open as they please).
int OpenDescriptors() {
    int open = 0;
    const QDir fds("/proc/self/fd");
    for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.contains("socket:") ||
            (target.startsWith('/') && !target.startsWith("/dev/") && !target.startsWith("/proc/")))
            ++open;
    }
    return open;
}

long ResidentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

// --- The peer -----------------------------------------------------------------------------------

// One misbehaving peer on a thread: each accepted connection is served by the behaviour set last.
class HostilePeer {
public:
    using Behaviour = std::function<void(HostilePeer&, int fd)>;
    HostilePeer() {
        listener_ = ListenOnLoopback(16, port_);
        thread_ = std::thread([this] { Serve(); });
    }
    ~HostilePeer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    uint16_t Port() const { return port_; }
    void Use(Behaviour behaviour) {
        std::lock_guard lock(mutex_);
        behaviour_ = std::move(behaviour);
    }
    bool Stopping() const { return stop_; }
    // Waits (bounded) until no connection is being served, so that the peer's own socket is not
    // counted as the client's.
    void WaitIdle() {
        std::unique_lock lock(mutex_);
        idle_.wait_for(lock, std::chrono::seconds(10), [this] { return !serving_; });
    }

    // Helpers for behaviours. Every wait is sliced so that a stop is noticed.
    bool WaitReadable(int fd, int ms) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!stop_ && std::chrono::steady_clock::now() < end) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) return true;
        }
        return false;
    }
    // One line from the client; false when it closed or said nothing within `ms`.
    bool ReadLine(int fd, QByteArray& line, int ms = 3000) {
        line.clear();
        char c = 0;
        while (!line.endsWith('\n')) {
            if (!WaitReadable(fd, ms) || ::recv(fd, &c, 1, 0) != 1) return false;
            line += c;
        }
        return true;
    }
    // Everything the client sends until it closes or `ms` pass.
    void Drain(int fd, int ms) {
        char buffer[4096];
        while (WaitReadable(fd, ms) && ::recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
    }
    static bool Say(int fd, const QByteArray& bytes) {
        return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) ==
               ssize_t(bytes.size());
    }
    static void Reset(int fd) {
        linger hard{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }

private:
    void Serve() {
        while (!stop_) {
            if (!WaitReadable(listener_, 200)) continue;
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            Behaviour behaviour;
            {
                std::lock_guard lock(mutex_);
                serving_ = true;
                behaviour = behaviour_;
            }
            if (behaviour) behaviour(*this, fd);
            ::close(fd);
            {
                std::lock_guard lock(mutex_);
                serving_ = false;
            }
            idle_.notify_all();
        }
    }

    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable idle_;
    bool serving_ = false;
    Behaviour behaviour_;
};

QByteArray Garbage(unsigned seed, int size) {
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}

struct NamedBehaviour {
    QString name;
    HostilePeer::Behaviour behaviour;
    bool tls = false; // the client asks for TLS from the first byte
};

// --- Mail ---------------------------------------------------------------------------------------

constexpr int MailTimeoutSeconds = 1;

// A plain SMTP server that resets the connection instead of answering command number `resetAt`
// (0: instead of the greeting). Past the last step it completes the session.
HostilePeer::Behaviour SmtpResettingAt(int resetAt, const QByteArray& greeting = "220 soak\r\n") {
    return [resetAt, greeting](HostilePeer& peer, int fd) {
        if (resetAt == 0) return HostilePeer::Reset(fd);
        if (!HostilePeer::Say(fd, greeting)) return;
        QByteArray line;
        for (int command = 1; peer.ReadLine(fd, line); ++command) {
            if (command == resetAt) return HostilePeer::Reset(fd);
            if (line.startsWith("DATA")) {
                HostilePeer::Say(fd, "354 go\r\n");
                while (peer.ReadLine(fd, line) && line != ".\r\n") {
                }
                ++command;
                if (command == resetAt) return HostilePeer::Reset(fd);
                HostilePeer::Say(fd, "250 taken\r\n");
            } else if (line.startsWith("QUIT")) {
                HostilePeer::Say(fd, "221 bye\r\n");
                return;
            } else {
                HostilePeer::Say(fd, "250 ok\r\n");
            }
        }
    };
}

std::vector<NamedBehaviour> MailPeerBehaviours() {
    std::vector<NamedBehaviour> list{
        {"silence", [](HostilePeer& p, int fd) { p.Drain(fd, 3000); }},
        {"reset before the greeting", SmtpResettingAt(0)},
        {"reset at HELO", SmtpResettingAt(1)},
        {"reset at MAIL", SmtpResettingAt(2)},
        {"reset at RCPT", SmtpResettingAt(3)},
        {"reset at DATA", SmtpResettingAt(4)},
        {"reset after the message", SmtpResettingAt(5)},
        {"reset at QUIT", SmtpResettingAt(6)},
        {"garbage greeting",
         [](HostilePeer& p, int fd) {
             HostilePeer::Say(fd, Garbage(7, 2048) + "\r\n");
             p.Drain(fd, 500);
         }},
        {"1 MB reply line", SmtpResettingAt(99, "220 " + QByteArray(1 << 20, 'x') + "\r\n")},
        {"one byte a second",
         [](HostilePeer& p, int fd) {
             for (char c : QByteArray("220 slow greeting\r\n")) {
                 if (!HostilePeer::Say(fd, QByteArray(1, c))) return;
                 if (p.WaitReadable(fd, 1000)) return; // the client gave up and closed
             }
         }},
        {"half-open connection",
         [](HostilePeer& p, int fd) {
             ::shutdown(fd, SHUT_WR);
             p.Drain(fd, 3000);
         }},
        {"garbage TLS handshake",
         [](HostilePeer& p, int fd) {
             HostilePeer::Say(fd, "\x16\x03\x03\x00\x40" + Garbage(11, 64));
             p.Drain(fd, 500);
         },
         true},
        {"a whole session", SmtpResettingAt(99)},
    };
    return list;
}

QString SendOnce(uint16_t port, bool tls) {
    TmsMessage message;
    message.Sender().SetAddress("soak@example.com");
    message.Recipients().AddAddress("hostmaster@example.net");
    message.SetSubject("soak");
    message.SetBody({"line one", "line two"});
    TmsSMTP smtp;
    smtp.SetWinsockLoaded(true);
    smtp.SetServer("127.0.0.1:" + QString::number(port));
    smtp.SetTimeOut(MailTimeoutSeconds);
    smtp.SetMailMessage(&message);
    if (tls) smtp.SetSecurity(TMailSecurity::Tls);
    try {
        smtp.Send();
        return "sent";
    } catch (const Exception& e) {
        return "failed: " + e.Message().left(60);
    }
}

// --- Look-ups -----------------------------------------------------------------------------------

constexpr int LookupStallMs = 2000;
// The look-ups' wait for a connection, shortened from its 15 seconds so that a soak of peers that
// reset before the query ends in minutes; it is the same wait.
constexpr int ConnectionWaitMs = 1000;

std::vector<NamedBehaviour> LookupPeerBehaviours() {
    auto query = [](HostilePeer& p, int fd) {
        QByteArray line;
        return p.ReadLine(fd, line);
    };
    return {
        {"silence, then hang up", [](HostilePeer& p, int fd) { p.Drain(fd, LookupStallMs); }},
        {"reset before the query", [](HostilePeer&, int fd) { HostilePeer::Reset(fd); }},
        {"reset after the query",
         [query](HostilePeer& p, int fd) {
             if (query(p, fd)) HostilePeer::Say(fd, "partial answer\r\nno end");
             HostilePeer::Reset(fd);
         }},
        {"garbage answer",
         [query](HostilePeer& p, int fd) {
             if (query(p, fd)) HostilePeer::Say(fd, Garbage(13, 65536));
         }},
        {"1 MB answer line",
         [query](HostilePeer& p, int fd) {
             if (query(p, fd)) HostilePeer::Say(fd, QByteArray(1 << 20, 'y') + "\r\n");
         }},
        {"one byte a second",
         [query](HostilePeer& p, int fd) {
             if (!query(p, fd)) return;
             for (int i = 0; i < LookupStallMs / 1000; ++i) {
                 if (!HostilePeer::Say(fd, "z")) return;
                 if (p.WaitReadable(fd, 1000)) return;
             }
         }},
        {"half-open connection",
         [](HostilePeer& p, int fd) {
             ::shutdown(fd, SHUT_WR);
             p.Drain(fd, LookupStallMs);
         }},
        {"a whole answer",
         [query](HostilePeer& p, int fd) {
             if (query(p, fd)) HostilePeer::Say(fd, "Domain Name: SOAK.EXAMPLE\r\n\xe9t\xe9\r\n");
         }},
    };
}

// Collects an answer and says nothing.
class QuietView : public LookupView {
public:
    explicit QuietView(QString query) : query_(std::move(query)) {}
    QString QueryText() const override { return query_; }
    void SetQueryText(const QString&) override {}
    void ClearResponse() override { lines = 0; }
    void AddResponse(const QString&) override { ++lines; }
    int lines = 0;

private:
    QString query_;
};

class QuietBoxes : public MessageBoxes {
public:
    void Information(const QString&) override {}
    BoxAnswer WarningYesNo(const QString&) override { return BoxAnswer::No; }
    void Error(const QString&) override {}
    void Beep() override {}
};

QString LookUpOnce(uint16_t port, bool finger, const QDeadlineTimer& limit) {
    TlcIPPort ipport;
    QuietView view(finger ? "soak@127.0.0.1" : "soak.example");
    LookupOutcome outcome;
    std::function<bool()> active;
    std::unique_ptr<WhoisLookup> whois;
    std::unique_ptr<FingerLookup> fingerLookup;
    if (finger) {
        fingerLookup = std::make_unique<FingerLookup>(ipport, view);
        fingerLookup->Port = port;
        fingerLookup->ConnectionWaitMs = ConnectionWaitMs;
        outcome = fingerLookup->LookUp();
        active = [&ipport] { return ipport.Connected(); };
    } else {
        whois = std::make_unique<WhoisLookup>(ipport, view);
        whois->Server = "127.0.0.1";
        whois->Port = port;
        whois->ConnectionWaitMs = ConnectionWaitMs;
        outcome = whois->LookUp();
        active = [&whois] { return whois->Active(); };
    }
    if (outcome == LookupOutcome::TimedOut) return "connection timed out";
    if (outcome != LookupOutcome::QuerySent) return "failed";
    WaitUntil([&] { return !active() || limit.hasExpired(); });
    if (active()) return "still running";
    return view.lines > 0 ? "answered" : "no answer";
}

template <typename Attempt>
SoakFigures Soak(int attempts, const std::vector<NamedBehaviour>& behaviours, int limitMs,
                 Attempt attempt) {
    QTemporaryDir temp;
    const QByteArray previousTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    HostilePeer peer;
    SoakFigures f;
    // One whole cycle first, so that what the first use of each path allocates once is counted
    // as the starting point rather than as growth.
    for (const NamedBehaviour& b : behaviours) {
        peer.Use(b.behaviour);
        attempt(peer.Port(), b, QDeadlineTimer(limitMs));
    }
    peer.WaitIdle();
    f.fdsBefore = OpenDescriptors();
    f.rssBeforeKb = ResidentKb();
    for (int i = 0; i < attempts; ++i) {
        const NamedBehaviour& b = behaviours[size_t(i) % behaviours.size()];
        peer.Use(b.behaviour);
        QElapsedTimer clock;
        clock.start();
        const QString outcome = attempt(peer.Port(), b, QDeadlineTimer(limitMs));
        ++f.attempts;
        const qint64 took = clock.elapsed();
        if (took > limitMs) ++f.overdue;
        f.slowestMs[b.name] = std::max(f.slowestMs.value(b.name), took);
        ++f.outcomes[b.name + ": " + outcome];
    }
    peer.WaitIdle();
    f.fdsAfter = OpenDescriptors();
    f.rssAfterKb = ResidentKb();
    f.tempFilesLeft = int(
        QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size());
    if (previousTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previousTemp);
    return f;
}
} // namespace

void PrintSoakFigures(const char* title, const SoakFigures& f) {
    std::printf("%s\n", title);
    for (auto it = f.outcomes.begin(); it != f.outcomes.end(); ++it)
        std::printf("  %5d  %s\n", it.value(), qPrintable(it.key()));
    for (auto it = f.slowestMs.begin(); it != f.slowestMs.end(); ++it)
        std::printf("  slowest %6lld ms  %s\n", it.value(), qPrintable(it.key()));
    std::printf("  attempts %d, overdue %d, descriptors %d -> %d, RSS %ld -> %ld kB, "
                "temporary files left %d\n",
                f.attempts, f.overdue, f.fdsBefore, f.fdsAfter, f.rssBeforeKb, f.rssAfterKb,
                f.tempFilesLeft);
    std::fflush(stdout);
}

int MailBehaviours() {
    return int(MailPeerBehaviours().size());
}

int LookupBehaviours() {
    return int(LookupPeerBehaviours().size());
}

SoakFigures SoakSends(int attempts) {
    // The time-out, plus a second for a slow peer's last byte and the farewell.
    const int limitMs = MailTimeoutSeconds * 1000 * 2 + 1000;
    return Soak(attempts, MailPeerBehaviours(), limitMs,
                [](uint16_t port, const NamedBehaviour& b, const QDeadlineTimer&) {
                    return SendOnce(port, b.tls);
                });
}

SoakFigures SoakLookups(int attempts) {
    SetBoxes(std::make_shared<QuietBoxes>());
    // Each behaviour meets WHOIS and Finger in turn: the first cycle asks WHOIS, the next Finger.
    const auto behaviours = LookupPeerBehaviours();
    int n = 0;
    return Soak(attempts, behaviours, ConnectionWaitMs + LookupStallMs + 2000,
                [&](uint16_t port, const NamedBehaviour&, const QDeadlineTimer& limit) {
                    const bool finger = (n++ / int(behaviours.size())) % 2 == 1;
                    return QString(finger ? "Finger " : "WHOIS ") + LookUpOnce(port, finger, limit);
                });
}
