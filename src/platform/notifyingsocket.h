#pragma once
// A non-blocking TCP socket that reports its events on the window thread, through the same event
// queue that the waits process. Both network stacks build on it.
//
// The events follow the classic asynchronous-socket rules: OnConnected fires once when a connect
// completes (with the error code, 0 on success); OnReadable fires once when data arrives and again
// only after the next Receive(); OnWritable fires after a connect and after a Send() that could not
// take everything; OnClosed fires once when the peer has closed (0) or the connection failed.
// Error codes use the shared socket numbering (socketerrors.h).
#include <QObject>
#include <QSocketNotifier>
#include <cstdint>
#include <functional>
#include <memory>

class NotifyingSocket : public QObject {
    Q_OBJECT
public:
    explicit NotifyingSocket(QObject* parent = nullptr);
    ~NotifyingSocket() override;

    // Creates the socket; returns 0 or an error code.
    int Open();
    bool IsOpen() const { return fd_ >= 0; }
    int Handle() const { return fd_; }

    // Starts connecting to an IPv4 address (host byte order) and port. Returns 0 when the connect
    // is under way or done (OnConnected follows), or the error code of an immediate failure.
    int Connect(uint32_t ipv4, uint16_t port);
    bool Connecting() const { return connecting_; }

    // Sends what it can; returns the number of bytes taken, or -1 with `error` set.
    // A full send buffer is -1 with WSAEWOULDBLOCK, and OnWritable follows when there is room.
    int64_t Send(const char* data, int64_t size, int& error);
    // Receives up to `size` bytes; returns the count (0 when the peer has closed), or -1 with
    // `error` set (WSAEWOULDBLOCK when nothing is waiting).
    int64_t Receive(char* data, int64_t size, int& error);
    // Bytes that can be read at once.
    int64_t BytesAvailable() const;

    // Closes the socket; no event fires after it.
    void Close();

    // Stops or resumes all event delivery (for components that must not react during destruction).
    void SetEventsEnabled(bool on);

    std::function<void(int error)> OnConnected;
    std::function<void(int error)> OnReadable;
    std::function<void(int error)> OnWritable;
    std::function<void(int error)> OnClosed;

private:
    void ReadActivated();
    void WriteActivated();
    void ArmRead(bool on);
    void ArmWrite(bool on);

    int fd_ = -1;
    // An error the readability check took from the socket (a reset); the next Receive() reports
    // it, as the socket itself would have.
    int pendingError_ = 0;
    // A reset that came before the connection's completion was handled: told by the receive that
    // finds the end of what the peer sent before it.
    int resetBehindData_ = 0;
    bool connecting_ = false;
    bool closedReported_ = false;
    bool eventsEnabled_ = true;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
};
