#pragma once
// The line-oriented TCP client component. The application gives it a remote host and port, sets
// Connected to true and is told by events when the connection is up, when a line arrives (split at
// EOL), when the socket can take data, when the connection ends and when receiving fails. Nothing
// blocks except resolving a host name; every event arrives through the window's event queue.
#include "lookup/cwinsock.h"
#include "lookup/linefifo.h"
#include "platform/notifyingsocket.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>

// OnConnected / OnDisconnected (Sender, StatusCode, Description): 0 with "OK", or the code with
// its error text.
using TConnectEvent =
    std::function<void(QObject* sender, int statusCode, const QString& description)>;
// OnDataIn (Sender, Text, EOL): a line without its terminator (EOL true), or a piece without one
// (EOL false). Text points into the receive buffer and is valid during the call only.
using TDataInEvent = std::function<void(QObject* sender, QByteArrayView text, bool eol)>;
using TNotifyEvent = std::function<void(QObject* sender)>;

class ClcIPPort : public CWinsock {
    Q_OBJECT
public:
    explicit ClcIPPort(QObject* parent = nullptr);
    ~ClcIPPort() override;

    QString LocalHost() const;

    uint16_t RemotePort() const { return remotePort_; }
    void SetRemotePort(uint16_t port);
    uint16_t LocalPort() const;
    void SetLocalPort(uint16_t port);
    // Dotted IPv4 form of the stored address; empty when there is none.
    QString RemoteHost() const;
    // Empty: no address; dotted IPv4: used as is; any other name is resolved at once (blocking).
    void SetRemoteHost(const QString& host);

    uint16_t InBufferSize() const { return inBufferSize_; }
    void SetInBufferSize(uint16_t size);
    uint16_t OutBufferSize() const { return outBufferSize_; }
    void SetOutBufferSize(uint16_t size);
    bool Linger() const { return linger_; }
    void SetLinger(bool on);
    bool KeepAlive() const { return keepAlive_; }
    void SetKeepAlive(bool on);

    QByteArray EOL() const { return fifo_.EOL(); }
    void SetEOL(const QByteArray& eol);
    uint32_t MaxLineLength() const { return fifo_.Capacity(); }
    void SetMaxLineLength(uint32_t length);

    bool Connected() const { return connected_; }
    // A connection attempt is under way: a socket exists but is not connected yet.
    bool Connecting() const { return SocketExists() && !connected_; }
    // True connects (the outcome comes as OnConnected); false disconnects.
    void SetConnected(bool on);

    // One send attempt; see BytesSent for how much was taken.
    void SetDataToSend(const char* data, int count);
    void SetDataToSend(const QByteArray& data) {
        SetDataToSend(data.constData(), int(data.size()));
    }
    int BytesSent() const { return bytesSent_; }

    TNotifyEvent OnReadyToSend;
    TDataInEvent OnDataIn;
    TConnectEvent OnConnected;
    TConnectEvent OnDisconnected;

protected:
    // The socket notifications, delivered by TlcIPPort's sink.
    void ReadNotification();
    void WriteNotification();
    void ConnectNotification(int code);
    void CloseNotification(int code);

    NotifyingSocket socket_;

private:
    enum class PumpMode { Normal, Closing, Final };
    bool SocketExists() const { return socket_.IsOpen(); }
    void Connect();
    void Disconnect(int code);
    void Reset();
    void Pump(PumpMode mode);
    // Delivers the complete lines of the buffer; false when the connection went away meanwhile.
    bool DeliverLines(uint64_t connection);
    void DeliverRest(uint64_t connection);
    void FireDataIn(QByteArrayView text, bool eol);
    bool Alive(uint64_t connection) const { return connection == connection_ && SocketExists(); }

    void ApplyKeepAlive();
    void ApplyLinger(bool on);
    void ApplyBufferSize(int option, uint16_t& property);
    int SetOption(int level, int option, const void* value, unsigned size);

    uint16_t inBufferSize_ = 2048;
    uint16_t outBufferSize_ = 2048;
    uint32_t remoteAddress_ = 0; // IPv4, network order; 0 = none
    uint16_t remotePort_ = 0;
    uint16_t localPort_ = 0;
    LineFIFO fifo_;
    bool inReceive_ = false;
    bool closePending_ = false;
    bool linger_ = true;
    bool keepAlive_ = false;
    bool connected_ = false;
    int bytesSent_ = 0;
    // The code of a receive that failed (a reset), reported by OnError; the end of the connection
    // that follows is told with it rather than as a normal end.
    int receiveError_ = 0;
    // Counts connection attempts, so that work queued for an earlier socket is dropped.
    uint64_t connection_ = 0;
};

// The published component: ClcIPPort with the sink that takes the socket's notifications from the
// event queue. A handler's exception goes to the application's error handler.
class TlcIPPort : public ClcIPPort {
    Q_OBJECT
public:
    explicit TlcIPPort(QObject* parent = nullptr);
};
