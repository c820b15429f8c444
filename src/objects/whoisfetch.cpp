#include "objects/whoisfetch.h"

#include "objects/objectcheck.h"
#include "platform/peertext.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr qsizetype kAnswerLimit = 4 * 1024 * 1024;

struct Socket {
    int fd = -1;
    ~Socket() {
        if (fd >= 0) ::close(fd);
    }
};

// Waits until `fd` is ready for `events`, the token is cancelled or the time is over.
enum class Ready { Yes, Cancelled, TimedOut, Failed };
Ready WaitFor(int fd, short events, const CancelToken& cancel, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd fds[2] = {{fd, events, 0}, {cancel.WakeDescriptor(), POLLIN, 0}};
        const qint64 left = deadline.remainingTime();
        if (left == 0) return Ready::TimedOut;
        const int n = ::poll(fds, 2, int(std::min<qint64>(left, 60000)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Ready::Failed;
        if (cancel.Cancelled() || fds[1].revents) return Ready::Cancelled;
        if (fds[0].revents) return Ready::Yes;
    }
}

QString Where(const FetchRequest& request) {
    return request.server.host + " port " + QString::number(request.server.port);
}

// Connects to one of the server's addresses, in the resolver's order.
Result<int> Connect(const FetchRequest& request, const CancelToken& cancel,
                    const QDeadlineTimer& deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int resolved =
        ::getaddrinfo(request.server.host.toUtf8().constData(),
                      QByteArray::number(request.server.port).constData(), &hints, &found);
    if (resolved != 0)
        return Fail("The WHOIS server " + request.server.host +
                    " cannot be found: " + QString::fromLocal8Bit(::gai_strerror(resolved)));
    QString why = "no address";
    int connected = -1;
    for (addrinfo* a = found; a && connected < 0; a = a->ai_next) {
        Socket s{
            ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol)};
        if (s.fd < 0) continue;
        if (::connect(s.fd, a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
            why = QString::fromLocal8Bit(::strerror(errno));
            continue;
        }
        const Ready ready = WaitFor(s.fd, POLLOUT, cancel, deadline);
        if (ready == Ready::Cancelled) {
            why = "cancelled";
            break;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (ready != Ready::Yes) {
            why = "no connection within the time";
            continue;
        }
        ::getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &error, &size);
        if (error != 0) {
            why = QString::fromLocal8Bit(::strerror(error));
            continue;
        }
        connected = s.fd;
        s.fd = -1;
    }
    ::freeaddrinfo(found);
    if (connected < 0)
        return Fail("Cannot connect to the WHOIS server " + Where(request) + ": " + why + ".");
    return connected;
}

QString DecodedAnswer(const QByteArray& bytes) {
    // Most servers answer in UTF-8; some still in Latin-1.
    QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar::ReplacementCharacter)) text = QString::fromLatin1(bytes);
    return text;
}

// An IRRd "!" answer's object text: "A<length>", the text, "C"; "D" for nothing found.
std::optional<QString> UnframedAnswer(const QString& text, QString* refusal) {
    static const QRegularExpression frame("^A([0-9]+)\r?\n");
    const QRegularExpressionMatch m = frame.match(text);
    if (m.hasMatch()) return text.mid(m.capturedLength(), m.captured(1).toInt());
    const QString first = text.section('\n', 0, 0).trimmed();
    if (first == "D" || first == "C") *refusal = "no such object";
    if (first.startsWith('F')) *refusal = first.mid(1).trimmed();
    return std::nullopt;
}

// The server's words for why there is no object: its first error or "no entries" comment.
QString ServerWords(const QString& text) {
    for (const QString& line : text.split('\n')) {
        const QString l = line.trimmed();
        if (l.startsWith("%ERROR", Qt::CaseInsensitive) ||
            l.contains("no entries found", Qt::CaseInsensitive))
            return l;
    }
    return QString();
}

QString Normal(QString key) {
    return key.remove(' ').toUpper();
}
} // namespace

Result<FetchRequest> MakeFetchRequest(const Registry& registry, const QString& className,
                                      const QString& key, const QString& override,
                                      const QString& setting) {
    const QString serverText = !override.trimmed().isEmpty()  ? override
                               : !setting.trimmed().isEmpty() ? setting
                                                              : registry.whois;
    if (serverText.trimmed().isEmpty())
        return Fail("No WHOIS server is known for " + registry.name + ": give one.");
    const auto parsed = ParseServerAddress(serverText, 43);
    if (const auto* problem = std::get_if<ServerAddressProblem>(&parsed))
        return Fail(*problem == ServerAddressProblem::NoHost
                        ? "The WHOIS server " + serverText + " names no host."
                        : "The WHOIS server " + serverText +
                              " needs a port number from 1 to 65535.");
    const QString cls = className.trimmed().toLower();
    const QString wanted = key.trimmed();
    static const QRegularExpression safe("^[^\\s\\x00-\\x1f]+$");
    if (!safe.match(cls).hasMatch() || !safe.match(wanted).hasMatch())
        return Fail("A class and a key without blanks are needed to fetch an object.");
    FetchRequest request;
    request.server = std::get<ServerAddress>(parsed);
    request.className = cls;
    request.key = wanted;
    request.query = QString(registry.query).replace("{class}", cls).replace("{key}", wanted);
    return request;
}

Result<QByteArray> AskWhoisServer(const FetchRequest& request, const CancelToken& cancel) {
    const QDeadlineTimer deadline(request.timeoutMs);
    Result<int> connected = Connect(request, cancel, deadline);
    if (!connected) return Fail(connected.Error());
    Socket s{connected.Value()};
    QByteArray query = request.query.toUtf8() + "\r\n";
    while (!query.isEmpty()) {
        if (WaitFor(s.fd, POLLOUT, cancel, deadline) != Ready::Yes)
            return Fail("The WHOIS server " + Where(request) + " did not take the query.");
        const ssize_t sent = ::send(s.fd, query.constData(), size_t(query.size()), MSG_NOSIGNAL);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return Fail("The WHOIS server " + Where(request) + " closed the connection: " +
                        QString::fromLocal8Bit(::strerror(errno)) + ".");
        if (sent > 0) query.remove(0, sent);
    }
    QByteArray answer;
    char buffer[16384];
    for (;;) {
        const Ready ready = WaitFor(s.fd, POLLIN, cancel, deadline);
        if (ready == Ready::Cancelled) return Fail("Fetch cancelled.");
        if (ready != Ready::Yes)
            return Fail("The WHOIS server " + Where(request) +
                        " did not finish its answer in time.");
        const ssize_t n = ::recv(s.fd, buffer, sizeof buffer, 0);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            // A reset after the answer still leaves the answer.
            if (!answer.isEmpty()) break;
            return Fail("The WHOIS server " + Where(request) + " broke the connection: " +
                        QString::fromLocal8Bit(::strerror(errno)) + ".");
        }
        answer.append(buffer, n);
        if (answer.size() > kAnswerLimit)
            return Fail("The WHOIS server " + Where(request) + " sent more than 4 MB.");
    }
    if (answer.isEmpty())
        return Fail("The WHOIS server " + Where(request) + " closed without an answer.");
    return answer;
}

Result<RpslObject> ObjectInAnswer(const QByteArray& answer, const FetchRequest& request,
                                  const RuleTable& rules) {
    QString text = DecodedAnswer(answer);
    QString refusal;
    if (const std::optional<QString> unframed = UnframedAnswer(text, &refusal)) text = *unframed;
    const std::vector<RpslObject> objects = ParseObjects(text);
    const RpslObject* found = nullptr;
    const RpslObject* sameClass = nullptr;
    for (const RpslObject& object : objects) {
        if (object.ClassName() != request.className) continue;
        if (!sameClass) sameClass = &object;
        if (Normal(ObjectKey(object, rules)) == Normal(request.key) ||
            Normal(object.ClassValue()) == Normal(request.key)) {
            found = &object;
            break;
        }
    }
    if (!found) found = sameClass;
    if (found) return *found;
    if (refusal.isEmpty()) refusal = ServerWords(text);
    return Fail(
        "The WHOIS server " + Where(request) + " has no " + request.className + " " + request.key +
        (refusal.isEmpty() ? QString()
                           : " (it says: " + PeerText(refusal, PeerTextLines::Escape) + ")") +
        ".");
}

Result<RpslObject> FetchObject(const FetchRequest& request, const RuleTable& rules,
                               const CancelToken& cancel) {
    const Result<QByteArray> answer = AskWhoisServer(request, cancel);
    if (!answer) return Fail(answer.Error());
    return ObjectInAnswer(answer.Value(), request, rules);
}

void StartFetch(QObject* context, const CancelToken& cancel, const FetchRequest& request,
                std::shared_ptr<const RuleTable> rules,
                std::function<void(Result<RpslObject>)> done) {
    Tasks::Run<Result<RpslObject>>(
        context, cancel,
        [request, rules](const CancelToken& token) { return FetchObject(request, *rules, token); },
        std::move(done));
}
