#include "lookup/lcipport.h"

#include "lookup/lcerrors.h"
#include "platform/guard.h"
#include "platform/socketerrors.h"

#include <QMetaObject>
#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Restores a flag when the scope ends, also when a handler's exception passes through.
class FlagScope {
public:
    FlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = old_; }

private:
    bool& flag_;
    bool old_;
};

QString Dotted(uint32_t networkOrder) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr addr{};
    addr.s_addr = networkOrder;
    ::inet_ntop(AF_INET, &addr, text, sizeof text);
    return QString::fromLatin1(text);
}

QString StatusText(int code) {
    return code == 0 ? QStringLiteral("OK") : LcErrorText(code);
}
} // namespace

ClcIPPort::ClcIPPort(QObject* parent) : CWinsock(parent) {}

ClcIPPort::~ClcIPPort() {
    // The connection is reset, not closed gracefully, and nobody hears about it.
    raiseOnError_ = false;
    SetLinger(false);
    socket_.SetEventsEnabled(false);
    socket_.Close();
}

// --- Properties ---------------------------------------------------------------------------------

QString ClcIPPort::LocalHost() const {
    if (connected_ && SocketExists()) {
        sockaddr_in addr{};
        socklen_t len = sizeof addr;
        if (::getsockname(socket_.Handle(), reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            return Dotted(addr.sin_addr.s_addr);
    }
    if (!WinsockLoaded()) return LcErrorText(WSANOTINITIALISED);
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return LcErrorText(SocketErrorFromErrno(errno));
    return QString::fromLocal8Bit(name);
}

void ClcIPPort::SetRemotePort(uint16_t port) {
    if (SocketExists()) return RaiseError(LC_PORT_BUSY, LcOwnErrorMessage(LC_PORT_BUSY));
    remotePort_ = port;
}

uint16_t ClcIPPort::LocalPort() const {
    if (!SocketExists()) return localPort_;
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(socket_.Handle(), reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
    return ntohs(addr.sin_port);
}

void ClcIPPort::SetLocalPort(uint16_t port) {
    if (SocketExists())
        return RaiseError(LC_LOCAL_PORT_BUSY, LcOwnErrorMessage(LC_LOCAL_PORT_BUSY));
    localPort_ = port;
}

QString ClcIPPort::RemoteHost() const {
    return remoteAddress_ == 0 ? QString() : Dotted(remoteAddress_);
}

void ClcIPPort::SetRemoteHost(const QString& host) {
    if (SocketExists()) return RaiseError(LC_HOST_BUSY, LcOwnErrorMessage(LC_HOST_BUSY));
    if (host.isEmpty()) {
        remoteAddress_ = 0;
        return;
    }
    QByteArray name = host.toUtf8();
    in_addr dotted{};
    if (::inet_aton(name.constData(), &dotted)) {
        remoteAddress_ = dotted.s_addr;
        return;
    }
    // Without the interface the name cannot be resolved; the address stays empty, and a later
    // connect reports that instead.
    if (!WinsockLoaded()) {
        remoteAddress_ = 0;
        return;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = ::getaddrinfo(name.constData(), nullptr, &hints, &found);
    if (rc != 0 || !found) {
        int code = rc != 0 ? SocketErrorFromResolver(rc) : int(WSAHOST_NOT_FOUND);
        return RaiseError(code);
    }
    remoteAddress_ = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
}

int ClcIPPort::SetOption(int level, int option, const void* value, unsigned size) {
    if (::setsockopt(socket_.Handle(), level, option, value, socklen_t(size)) == 0) return 0;
    return SocketErrorFromErrno(errno);
}

void ClcIPPort::ApplyBufferSize(int option, uint16_t& property) {
    // The socket's buffer is made at least this large, never smaller than the system's own: a
    // fixed small buffer turns off the system's buffer tuning and slows a transfer many times over.
    int size = property;
    int current = 0;
    socklen_t currentLen = sizeof current;
    if (::getsockopt(socket_.Handle(), SOL_SOCKET, option, &current, &currentLen) == 0 &&
        current >= size)
        return;
    int code = SetOption(SOL_SOCKET, option, &size, sizeof size);
    if (code == 0) return;
    int actual = 0;
    socklen_t len = sizeof actual;
    if (::getsockopt(socket_.Handle(), SOL_SOCKET, option, &actual, &len) == 0)
        property = uint16_t(qBound(0, actual, 0xFFFF));
    RaiseError(code);
}

void ClcIPPort::SetInBufferSize(uint16_t size) {
    inBufferSize_ = size;
    if (SocketExists()) ApplyBufferSize(SO_RCVBUF, inBufferSize_);
}

void ClcIPPort::SetOutBufferSize(uint16_t size) {
    outBufferSize_ = size;
    if (SocketExists()) ApplyBufferSize(SO_SNDBUF, outBufferSize_);
}

void ClcIPPort::ApplyLinger(bool on) {
    // Lingering with a time of 0 is what makes a close abortive, so it is switched on exactly when
    // Linger is false; true lets the system finish sending in the background.
    ::linger option{};
    option.l_onoff = on ? 0 : 1;
    option.l_linger = 0;
    if (int code = SetOption(SOL_SOCKET, SO_LINGER, &option, sizeof option))
        return RaiseError(code);
    linger_ = on;
}

void ClcIPPort::SetLinger(bool on) {
    if (!SocketExists()) {
        linger_ = on;
        return;
    }
    ApplyLinger(on);
}

void ClcIPPort::ApplyKeepAlive() {
    int on = keepAlive_ ? 1 : 0;
    int code = SetOption(SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    if (code == 0) return;
    int actual = 0;
    socklen_t len = sizeof actual;
    if (::getsockopt(socket_.Handle(), SOL_SOCKET, SO_KEEPALIVE, &actual, &len) == 0)
        keepAlive_ = actual != 0;
    RaiseError(code);
}

void ClcIPPort::SetKeepAlive(bool on) {
    keepAlive_ = on;
    if (SocketExists()) ApplyKeepAlive();
}

void ClcIPPort::SetEOL(const QByteArray& eol) {
    fifo_.SetEOL(eol);
    if (!connected_) return;
    // Data already buffered is split again with the new terminator.
    QMetaObject::invokeMethod(
        this,
        [this, connection = connection_] {
            if (Alive(connection)) Guarded([this] { ReadNotification(); });
        },
        Qt::QueuedConnection);
}

void ClcIPPort::SetMaxLineLength(uint32_t length) {
    if (length < 255) throw Exception("Invalid value");
    if (SocketExists())
        return RaiseError(LC_LINE_LENGTH_BUSY, LcOwnErrorMessage(LC_LINE_LENGTH_BUSY));
    fifo_.Resize(length);
}

void ClcIPPort::SetConnected(bool on) {
    if (on)
        Connect();
    else
        Disconnect(0);
}

void ClcIPPort::SetDataToSend(const char* data, int count) {
    if (!connected_) return RaiseError(WSAENOTCONN);
    if (count <= 0) return;
    int error = 0;
    int64_t taken = socket_.Send(data, count, error);
    if (taken < 0) {
        bytesSent_ = 0;
        return RaiseError(error);
    }
    bytesSent_ = int(taken);
    // The caller sends the rest after OnReadyToSend.
    if (taken < count) return RaiseError(WSAEWOULDBLOCK);
}

// --- Connecting and disconnecting ---------------------------------------------------------------

void ClcIPPort::Connect() {
    if (SocketExists())
        return RaiseError(LC_ALREADY_CONNECTED, LcOwnErrorMessage(LC_ALREADY_CONNECTED));
    closePending_ = false;
    receiveError_ = 0;
    fifo_.Clear();
    if (remoteAddress_ == 0) return RaiseError(LC_NO_ADDRESS, LcOwnErrorMessage(LC_NO_ADDRESS));
    if (remotePort_ == 0) return RaiseError(LC_NO_PORT, LcOwnErrorMessage(LC_NO_PORT));
    connected_ = false;
    if (!WinsockLoaded()) return RaiseError(WSANOTINITIALISED);
    if (int code = socket_.Open()) return RaiseError(code);
    ++connection_;
    socket_.SetEventsEnabled(true);

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPort_);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(socket_.Handle(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        int code = SocketErrorFromErrno(errno);
        socket_.Close();
        return RaiseError(code);
    }
    {
        // Options that the socket refuses are only recorded.
        FlagScope quiet(raiseOnError_, false);
        ApplyKeepAlive();
        ApplyLinger(linger_);
        ApplyBufferSize(SO_RCVBUF, inBufferSize_);
        ApplyBufferSize(SO_SNDBUF, outBufferSize_);
        int on = 1;
        if (int code = SetOption(SOL_SOCKET, SO_OOBINLINE, &on, sizeof on)) RaiseError(code);
    }
    if (int code = socket_.Connect(ntohl(remoteAddress_), remotePort_)) {
        socket_.Close();
        return RaiseError(code);
    }
}

void ClcIPPort::Disconnect(int code) {
    if (!SocketExists()) return Reset();
    socket_.SetEventsEnabled(false);
    // Asked from an OnDataIn handler: the pump finishes the buffered lines and disconnects before
    // its next receive.
    if (inReceive_) {
        closePending_ = true;
        return;
    }
    {
        // A disconnect asked for while the last lines are delivered has nothing more to do.
        FlagScope delivering(inReceive_, true);
        Pump(PumpMode::Final);
    }
    if (!SocketExists()) return Reset();
    socket_.Close();
    connected_ = false;
    Reset();
    if (OnDisconnected) OnDisconnected(this, code, StatusText(code));
}

void ClcIPPort::Reset() {
    bytesSent_ = 0;
    inReceive_ = false;
    closePending_ = false;
}

// --- Notifications ------------------------------------------------------------------------------

void ClcIPPort::ReadNotification() {
    if (inReceive_) return;
    FlagScope receiving(inReceive_, true);
    Pump(PumpMode::Normal);
}

void ClcIPPort::WriteNotification() {
    if (OnReadyToSend) OnReadyToSend(this);
}

void ClcIPPort::ConnectNotification(int code) {
    connected_ = true;
    int on = 1;
    SetOption(SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
    uint64_t connection = connection_;
    if (OnConnected) OnConnected(this, code, StatusText(code));
    if (code != 0 && connection == connection_) {
        socket_.Close();
        connected_ = false;
        Reset();
    }
}

void ClcIPPort::CloseNotification(int code) {
    uint64_t connection = connection_;
    Pump(PumpMode::Closing);
    if (connection == connection_) Disconnect(code);
}

// --- Receive pump -------------------------------------------------------------------------------

void ClcIPPort::FireDataIn(QByteArrayView text, bool eol) {
    if (OnDataIn) OnDataIn(this, text, eol);
}

bool ClcIPPort::DeliverLines(uint64_t connection) {
    QByteArrayView line;
    while (Alive(connection) && fifo_.TakeLine(line))
        FireDataIn(line, true);
    if (!Alive(connection)) return false;
    fifo_.Compact();
    return true;
}

void ClcIPPort::DeliverRest(uint64_t connection) {
    if (!DeliverLines(connection)) return;
    while (Alive(connection) && fifo_.Unread() > 0)
        FireDataIn(fifo_.TakePiece(), false);
    fifo_.Compact();
}

void ClcIPPort::Pump(PumpMode mode) {
    const uint64_t connection = connection_;
    while (Alive(connection)) {
        if (!DeliverLines(connection)) return;
        if (fifo_.Full()) {
            FireDataIn(fifo_.TakePiece(), false);
            continue;
        }
        if (closePending_ && mode == PumpMode::Normal) {
            inReceive_ = false;
            Disconnect(0);
            return;
        }
        // The final pump only hands out what is buffered: the socket is closed right after it.
        if (mode == PumpMode::Final) return DeliverRest(connection);
        int error = 0;
        int64_t received = socket_.Receive(fifo_.FreeSpace(), fifo_.FreeSize(), error);
        if (received > 0) {
            fifo_.Commit(uint32_t(received));
            continue;
        }
        if (received == 0 || mode == PumpMode::Closing) DeliverRest(connection);
        if (received == 0) {
            if (!Alive(connection)) return;
            inReceive_ = false;
            Disconnect(receiveError_);
            return;
        }
        if (error != WSAEWOULDBLOCK && error != WSAENOTSOCK && Alive(connection)) {
            receiveError_ = error;
            if (OnError) OnError(this, error, "Winsock error in recv() ");
        }
        return;
    }
}

// --- The published component --------------------------------------------------------------------

TlcIPPort::TlcIPPort(QObject* parent) : ClcIPPort(parent) {
    socket_.OnReadable = [this](int) { Guarded([this] { ReadNotification(); }); };
    socket_.OnWritable = [this](int) { Guarded([this] { WriteNotification(); }); };
    socket_.OnConnected = [this](int code) {
        Guarded([this, code] { ConnectNotification(code); });
    };
    socket_.OnClosed = [this](int code) { Guarded([this, code] { CloseNotification(code); }); };
}
