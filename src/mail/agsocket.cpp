#include "mail/agsocket.h"

#include "mail/sockettexts.h"
#include "platform/hostlookup.h"
#include "platform/peertext.h"
#include "platform/socketerrors.h"
#include "platform/wait.h"

#include <QElapsedTimer>
#include <QTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kMaxHostLength = 127;   // fits a 128-byte buffer with its terminating zero
constexpr int kMaxServiceLength = 63; // fits a 64-byte buffer

// Perc for SendStream: position * 100 / size, rounded to the nearest integer, halves to even.
int Percent(int64_t position, int64_t size) {
    if (size <= 0) return 100;
    const int64_t scaled = position * 100;
    int64_t q = scaled / size;
    const int64_t twiceRest = 2 * (scaled % size);
    if (twiceRest > size || (twiceRest == size && (q & 1))) ++q;
    return int(q);
}
} // namespace

TagSocket::TagSocket(QObject* parent) : QObject(parent), counter_(this) {
    socket_.OnConnected = [this](int code) {
        NoteEvent(code);
        if (code == 0) connectDone_ = true;
    };
    socket_.OnReadable = [this](int code) {
        NoteEvent(code);
        if (code == 0) readReady_ = true;
    };
    socket_.OnWritable = [this](int) { writable_ = true; };
    socket_.OnClosed = [this](int code) {
        NoteEvent(code);
        if (code == 0) peerClosed_ = true;
    };
}

TagSocket::~TagSocket() {
    AbandonLookup();
    socket_.SetEventsEnabled(false);
    socket_.Close();
    startupCount_ = 0;
}

void TagSocket::NoteEvent(int code) {
    eventErrorCode_ = uint16_t(code);
    eventError_ = code != 0;
}

void TagSocket::Reset() {
    canceled_ = false;
    counter_.SetTimedOut(false);
    AbandonLookup();
    eventError_ = false;
    hostResolved_ = serviceResolved_ = connectDone_ = readReady_ = peerClosed_ = false;
    writable_ = false;
}

int TagSocket::ReplyCode(const QString& line) const {
    if (line.size() < 3) return -1;
    for (int i = 0; i < 3; ++i)
        if (line[i] < '0' || line[i] > '9') return -1;
    return line.left(3).toInt();
}

QString TagSocket::HostPart() const {
    return server_.section(':', 0, 0);
}

void TagSocket::Wait(const std::function<bool()>& done) {
    counter_.Start();
    WaitUntil([&] { return done(); });
    counter_.Stop();
}

void TagSocket::AbandonLookup() {
    if (pendingLookup_ != 0) AbandonHostLookup(pendingLookup_);
    pendingLookup_ = 0;
    ++lookupGeneration_; // a late answer of an abandoned look-up is ignored
}

void TagSocket::Open() {
    if (OnOpen) OnOpen(this);
    if (server_.isEmpty()) RaiseSocketError(ErrServerRequired);
    ++startupCount_;
    winsockLoaded_ = true;

    char name[512] = {};
    if (::gethostname(name, sizeof name - 1) == 0 && name[0] != '\0')
        localHostName_ = QString::fromLocal8Bit(name);
    else
        localHostName_ = HostPart();

    ResolveRemoteHost();
    FindPort();
    if (int e = socket_.Open()) RaiseSocketError(uint16_t(e));
    // Commands are short and each waits for its reply: sent at once, they never sit behind
    // the delayed acknowledgement of the text before them (the final "." after the stream).
    int one = 1;
    ::setsockopt(socket_.Handle(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void TagSocket::ResolveRemoteHost() {
    const QString host = HostPart();
    if (host.toUtf8().size() > kMaxHostLength) RaiseSocketError(ErrResolvingHost);
    in_addr direct{};
    if (::inet_pton(AF_INET, host.toLatin1().constData(), &direct) == 1) {
        remoteAddress_ = ntohl(direct.s_addr);
        return;
    }
    hostResolved_ = false;
    std::vector<uint32_t> addresses;
    const unsigned generation = ++lookupGeneration_;
    pendingLookup_ = LookupHost(host, [this, generation, &addresses](const HostLookupAnswer& a) {
        if (generation != lookupGeneration_) return;
        addresses = a.addresses;
        hostResolved_ = true;
        NoteEvent(a.error);
    });
    Wait([this] { return hostResolved_ || counter_.TimedOut() || canceled_; });
    if (!hostResolved_) AbandonLookup();
    pendingLookup_ = 0;
    if (hostResolved_ && eventError_) RaiseSocketError(eventErrorCode_);
    CheckTimeOutAndCancel();
    ProcessPendingEvents();
    // The first IPv4 address.
    if (addresses.empty() || addresses.front() == INADDR_NONE) RaiseSocketError(ErrResolvingHost);
    remoteAddress_ = addresses.front();
}

void TagSocket::FindPort() {
    const qsizetype colon = server_.indexOf(':');
    if (colon >= 0) {
        bool ok = false;
        const qulonglong value = server_.mid(colon + 1).toULongLong(&ok, 10);
        if (ok && (value & 0xFFFF) != 0) {
            port_ = uint16_t(value & 0xFFFF);
            return;
        }
    }
    if (implicitPort_ != 0) {
        port_ = implicitPort_;
        return;
    }
    if (serviceName_.isEmpty()) RaiseSocketError(ErrServiceRequired);
    if (canceled_) CancelFailure();
    const QByteArray service = serviceName_.toUtf8();
    if (service.size() > kMaxServiceLength) {
        port_ = defaultPort_;
        return;
    }
    // The services database is a local file; the answer is delivered through the event queue so
    // that this wait behaves like the host look-up (cancel and time-out included).
    serviceResolved_ = false;
    int foundPort = 0;
    const unsigned generation = ++lookupGeneration_;
    QTimer::singleShot(0, this, [this, generation, service, &foundPort] {
        if (generation != lookupGeneration_) return;
        servent entry{};
        servent* result = nullptr;
        char buffer[1024];
        int rc =
            ::getservbyname_r(service.constData(), "tcp", &entry, buffer, sizeof buffer, &result);
        if (rc == 0 && result) foundPort = ntohs(uint16_t(result->s_port));
        serviceResolved_ = true;
        NoteEvent(foundPort ? 0 : WSANO_DATA);
    });
    Wait([this] { return serviceResolved_ || canceled_ || counter_.TimedOut(); });
    if (!serviceResolved_) ++lookupGeneration_;
    if ((serviceResolved_ && eventError_) || counter_.TimedOut()) {
        port_ = defaultPort_;
        eventError_ = false;
        counter_.SetTimedOut(false);
        return;
    }
    if (canceled_) CancelFailure();
    port_ = uint16_t(foundPort);
}

void TagSocket::ConnectSocket() {
    if (canceled_) CancelFailure();
    counter_.Start();
    connectDone_ = false;
    DropReadAhead();
    if (int e = socket_.Connect(remoteAddress_, port_)) ConnectFailure(uint16_t(e));
    WaitUntil([this] { return connectDone_ || eventError_ || canceled_ || counter_.TimedOut(); });
    counter_.Stop();
    if (canceled_) CancelFailure();
    if (counter_.TimedOut()) TimeOutFailure();
    if (eventError_) ConnectFailure(eventErrorCode_);
}

int64_t TagSocket::ChannelSend(const char* data, int64_t size, int& error) {
    return tls_ ? tls_->Send(data, size, error) : socket_.Send(data, size, error);
}

int64_t TagSocket::ChannelReceive(char* data, int64_t size, int& error) {
    return tls_ ? tls_->Receive(data, size, error) : socket_.Receive(data, size, error);
}

int64_t TagSocket::ReceiveByte(char& c, int& error) {
    if (rxPos_ >= rx_.size()) {
        char block[4096];
        const int64_t n = ChannelReceive(block, sizeof block, error);
        if (n <= 0) return n;
        rx_ = QByteArray(block, qsizetype(n));
        rxPos_ = 0;
    }
    c = rx_[rxPos_++];
    return 1;
}

void TagSocket::DropReadAhead() {
    rx_.clear();
    rxPos_ = 0;
}

void TagSocket::Trace(const char* direction, const QString& line) {
    if (OnTrace) OnTrace(QString::fromLatin1(direction) + line);
}

void TagSocket::SendAll(const char* data, int64_t size, bool restartOnProgress) {
    int64_t sent = 0;
    while (sent < size && !counter_.TimedOut() && !canceled_) {
        writable_ = false;
        int error = 0;
        int64_t n = ChannelSend(data + sent, size - sent, error);
        if (n < 0) {
            if (error != WSAEWOULDBLOCK && !canceled_) RaiseSocketError(uint16_t(error));
            // Room in the send buffer is announced by the writable event; sleep until then.
            WaitUntil([this] { return writable_ || counter_.TimedOut() || canceled_; });
            continue;
        }
        sent += n;
        if (n > 0 && restartOnProgress) counter_.Start();
        ProcessPendingEvents();
    }
}

void TagSocket::SendLine(const QString& line, const QString& traced) {
    if (!Connected()) RaiseSocketError(ErrNotConnected);
    Trace("C: ", traced.isEmpty() ? line : traced);
    const QByteArray text = line.toUtf8() + "\r\n";
    counter_.Start();
    SendAll(text.constData(), text.size(), false);
    counter_.Stop();
    CheckTimeOutAndCancel();
}

int TagSocket::ReadLine(QString& line) {
    if (!Connected()) RaiseSocketError(ErrNotConnected);
    auto dataOrEnd = [this] {
        return readReady_ || Buffered() || peerClosed_ || canceled_ || counter_.TimedOut() ||
               eventError_;
    };
    Wait(dataOrEnd);
    if (canceled_) CancelFailure();
    if (counter_.TimedOut()) TimeOutFailure();
    if (eventError_) RaiseSocketError(eventErrorCode_);
    counter_.Start();
    // A readable notice comes once and is armed again only by a receive. While the line comes
    // from what was read ahead no receive is made, so a notice taken meanwhile must stay seen.
    if (rxPos_ >= rx_.size()) readReady_ = false;
    ProcessPendingEvents();

    line.clear();
    QByteArray buffer;
    buffer.reserve(MaxLineLength);
    bool foundLf = false;
    while (!canceled_ && !counter_.TimedOut()) {
        char c = 0;
        int error = 0;
        int64_t n = ReceiveByte(c, error);
        if (n == 1) {
            if (replyBudget_ >= 0 && --replyBudget_ < 0) break;
            if (c == '\n') {
                foundLf = true;
                break;
            }
            if (buffer.size() < MaxLineLength) buffer += c;
            continue;
        }
        if (n == 0) {
            peerClosed_ = true;
            break;
        }
        if (error != WSAEWOULDBLOCK && !canceled_) RaiseSocketError(uint16_t(error));
        readReady_ = false;
        WaitUntil(dataOrEnd);
        if (eventError_ && !canceled_) RaiseSocketError(eventErrorCode_);
    }
    counter_.Stop();
    int result = -1;
    if (foundLf) {
        while (buffer.endsWith('\r') || buffer.endsWith('\n'))
            buffer.chop(1);
        // What the server says reaches error boxes, status lines, the trace and the log: its
        // control characters are shown, never passed on.
        line = PeerTextFromBytes(buffer, PeerTextLines::Escape);
        result = ReplyCode(line);
        Trace("S: ", line);
    }
    CheckTimeOutAndCancel();
    return result;
}

int TagSocket::ReadReply() {
    replyLines_.clear();
    // A server that streams continuation lines must not hold the session beyond its time-out,
    // nor fill the memory: the whole reply is bounded in time, lines and bytes.
    QElapsedTimer started;
    started.start();
    replyBudget_ = MaxReplyBytes;
    auto bounded = [&] {
        if (replyBudget_ < 0 || replyLines_.size() > MaxReplyLines) ReplyTooLongFailure();
        if (TimeOut() > 0 && started.elapsed() > qint64(TimeOut()) * 1000) TimeOutFailure();
    };
    const int code = ReadLine(lastReply_);
    replyLines_ << lastReply_;
    bounded();
    if (code > 0 && lastReply_.indexOf('-') == 3) {
        while (!PeerClosed()) {
            const int next = ReadLine(lastReply_);
            if (next != -1 || !lastReply_.isEmpty()) replyLines_ << lastReply_;
            bounded();
            const bool last = lastReply_.indexOf(' ') == 3 || lastReply_.size() == 3;
            if (next == code && last) break;
        }
    }
    replyBudget_ = -1;
    return code;
}

void TagSocket::ReplyTooLongFailure() {
    replyBudget_ = -1;
    counter_.Stop();
    QString message = QStringLiteral("The server's reply is too long.");
    if (OnError) OnError(this, message);
    // The server is still talking: nothing more can be said on this connection.
    Close();
    throw EServerError(message);
}

void TagSocket::SendStream(QIODevice& stream) {
    stream.seek(0);
    const int64_t size = stream.size();
    char chunk[ChunkSize + 1];
    for (;;) {
        const int64_t got = std::max<int64_t>(0, stream.read(chunk, ChunkSize));
        counter_.Start();
        SendAll(chunk, got, true);
        counter_.Stop();
        if (counter_.TimedOut() || canceled_) break;
        const int64_t position = stream.pos();
        if (OnProgress) OnProgress(this, Percent(position, size), int(position));
        if (got < ChunkSize) break;
    }
    CheckTimeOutAndCancel();
    if (OnProgress) OnProgress(this, 0, 0);
}

void TagSocket::StartTls(const QString& host) {
    if (!Connected()) RaiseSocketError(ErrNotConnected);
    DropReadAhead();
    tls_ = std::make_unique<TTlsChannel>(socket_);
    try {
        tls_->Begin(host);
    } catch (const ETlsError&) {
        TlsFailure();
    }
    counter_.Start();
    for (;;) {
        // A notification can only arrive while the wait below processes events.
        readReady_ = writable_ = false;
        const TTlsChannel::Step step = tls_->Handshake();
        if (step == TTlsChannel::Step::Done) break;
        if (step == TTlsChannel::Step::Failed) TlsFailure();
        const bool reading = step == TTlsChannel::Step::WantRead;
        WaitUntil([this, reading] {
            return (reading ? readReady_ || peerClosed_ : writable_) || eventError_ || canceled_ ||
                   counter_.TimedOut();
        });
        if (canceled_) CancelFailure();
        if (counter_.TimedOut()) TimeOutFailure();
        if (eventError_) {
            counter_.Stop();
            ConnectFailure(eventErrorCode_);
        }
    }
    counter_.Stop();
}

void TagSocket::TlsFailure() {
    counter_.Stop();
    const int socketError = tls_ ? tls_->SocketError() : 0;
    if (socketError != 0) ConnectFailure(uint16_t(socketError));
    QString message = tls_ ? tls_->FailureText() : QString();
    if (message.isEmpty()) message = "The secure connection failed";
    if (OnError) OnError(this, message);
    // Nothing more goes over a connection that could not be secured.
    tls_.reset();
    Close();
    throw ETlsError(message);
}

void TagSocket::Close() {
    if (!socket_.IsOpen()) return;
    if (OnClosing) OnClosing(this);
    if (tls_) tls_->Shutdown();
    tls_.reset();
    DropReadAhead();
    socket_.Close();
    if (OnClosed) OnClosed(this);
}

void TagSocket::Cancel() {
    canceled_ = true;
    if (OnCancel) OnCancel(this);
    AbandonLookup();
    Close();
}

bool TagSocket::PeerHasClosed() {
    if (rxPos_ < rx_.size()) return false; // more of what it sent is here to be read
    if (peerClosed_) return true;
    if (!socket_.IsOpen()) return true;
    char probe;
    ssize_t n = ::recv(socket_.Handle(), &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) peerClosed_ = true;
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void TagSocket::CheckTimeOutAndCancel() {
    if (counter_.TimedOut()) TimeOutFailure();
    if (canceled_) CancelFailure();
}

void TagSocket::RaiseSocketError(uint16_t code) {
    if (code == 0) return;
    counter_.Stop();
    QString message = MailSocketErrorText(code);
    if (message.isEmpty()) message = "Error #" + QString::number(code);
    if (OnError) OnError(this, message);
    if (code == WSAECONNRESET) Close();
    throw ESocketError(code, message);
}

void TagSocket::TimeOutFailure() {
    counter_.Stop();
    QString message = QStringLiteral("Operation timed out");
    if (OnError) OnError(this, message);
    AbandonLookup();
    Close();
    throw ETimedOutError(QStringLiteral("Operation timed out"));
}

void TagSocket::CancelFailure() {
    counter_.Stop();
    QString message = QStringLiteral("Operation has been canceled");
    if (OnError) OnError(this, message);
    throw ECanceledError(QStringLiteral("Operation has been canceled"));
}

void TagSocket::ConnectFailure(uint16_t code) {
    counter_.Stop();
    QString message = MailSocketErrorText(code);
    if (message.isEmpty()) message = "Error #" + QString::number(code);
    if (OnError) OnError(this, message);
    Close();
    throw ESocketError(code, message);
}

// --- mail-protocol base ------------------------------------------------------------------------

void TmsMailBase::Connect() {
    if (Connected()) return;
    Open();
    StartSession();
}

void TmsMailBase::Disconnect() {
    if (!Connected()) return;
    try {
        EndSession();
    } catch (...) {
        Close();
        throw;
    }
    Close();
}
