#include "platform/notifyingsocket.h"

#include "platform/socketerrors.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

NotifyingSocket::NotifyingSocket(QObject* parent) : QObject(parent) {}

NotifyingSocket::~NotifyingSocket() {
    eventsEnabled_ = false;
    Close();
}

int NotifyingSocket::Open() {
    if (fd_ >= 0) return 0;
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return SocketErrorFromErrno(errno);
    closedReported_ = false;
    pendingError_ = 0;
    resetBehindData_ = 0;
    readNotifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    writeNotifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    readNotifier_->setEnabled(false);
    writeNotifier_->setEnabled(false);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this,
            &NotifyingSocket::ReadActivated);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this,
            &NotifyingSocket::WriteActivated);
    return 0;
}

int NotifyingSocket::Connect(uint32_t ipv4, uint16_t port) {
    if (int e = Open()) return e;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(ipv4);
    int rc = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    if (rc == 0 || errno == EINPROGRESS) {
        // Completion, immediate or not, is reported from the event queue like every other event.
        connecting_ = true;
        ArmWrite(true);
        return 0;
    }
    return SocketErrorFromErrno(errno);
}

int64_t NotifyingSocket::Send(const char* data, int64_t size, int& error) {
    error = 0;
    if (fd_ < 0) {
        error = WSAENOTSOCK;
        return -1;
    }
    ssize_t n = ::send(fd_, data, size_t(size), MSG_NOSIGNAL);
    if (n < 0) {
        error = SocketErrorFromErrno(errno);
        if (error == WSAEWOULDBLOCK) ArmWrite(true);
        return -1;
    }
    if (n < size) ArmWrite(true);
    return n;
}

int64_t NotifyingSocket::Receive(char* data, int64_t size, int& error) {
    error = 0;
    if (fd_ < 0) {
        error = WSAENOTSOCK;
        return -1;
    }
    if (pendingError_ != 0) {
        error = pendingError_;
        pendingError_ = 0;
        return -1;
    }
    ssize_t n = ::recv(fd_, data, size_t(size), 0);
    if (n < 0) error = SocketErrorFromErrno(errno);
    if (n == 0 && resetBehindData_ != 0) {
        error = resetBehindData_;
        resetBehindData_ = 0;
        n = -1;
    }
    // As with the classic model, a receive re-arms the readable event.
    ArmRead(true);
    return n;
}

int64_t NotifyingSocket::BytesAvailable() const {
    int n = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &n) < 0) return 0;
    return n;
}

void NotifyingSocket::Close() {
    readNotifier_.reset();
    writeNotifier_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    connecting_ = false;
}

void NotifyingSocket::SetEventsEnabled(bool on) {
    eventsEnabled_ = on;
}

void NotifyingSocket::ArmRead(bool on) {
    if (readNotifier_ && !closedReported_) readNotifier_->setEnabled(on);
}

void NotifyingSocket::ArmWrite(bool on) {
    if (writeNotifier_) writeNotifier_->setEnabled(on);
}

void NotifyingSocket::WriteActivated() {
    ArmWrite(false);
    if (connecting_) {
        connecting_ = false;
        int soError = 0;
        socklen_t len = sizeof soError;
        ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &soError, &len);
        // A reset answers only a connection that was made (a refused one is ECONNREFUSED): the
        // peer may have sent data before it, so the connection counts as made and the reset is
        // told after that data.
        if (soError == ECONNRESET) {
            resetBehindData_ = SocketErrorFromErrno(soError);
            soError = 0;
        }
        int code = SocketErrorFromErrno(soError);
        if (code == 0) ArmRead(true);
        if (eventsEnabled_ && OnConnected) OnConnected(code);
        if (code == 0 && fd_ >= 0 && eventsEnabled_ && OnWritable) OnWritable(0);
        return;
    }
    if (eventsEnabled_ && OnWritable) OnWritable(0);
}

void NotifyingSocket::ReadActivated() {
    // Delivered once; the next Receive() re-arms it, so a reader that waits does not spin.
    ArmRead(false);
    char probe;
    ssize_t n = ::recv(fd_, &probe, 1, MSG_PEEK);
    if (n > 0) {
        if (eventsEnabled_ && OnReadable) OnReadable(0);
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        ArmRead(true);
        return;
    }
    int code = n == 0 ? 0 : SocketErrorFromErrno(errno);
    if (n == 0 && resetBehindData_ != 0) {
        code = resetBehindData_;
        resetBehindData_ = 0;
    }
    // Peeking took the error from the socket; it stays due for the next receive.
    pendingError_ = code;
    closedReported_ = true;
    if (eventsEnabled_ && OnClosed) OnClosed(code);
}
