#pragma once
// The mail transport's TCP layer: resolves the server's name and port, connects, sends command
// lines and streamed text, reads reply lines, and bounds every wait with a countdown of whole
// seconds. Every wait keeps processing the event queue (sleeping in it), so the window stays
// responsive; the socket's notifications only set flags that the waits look at.
#include "mail/timecounter.h"
#include "mail/tlschannel.h"
#include "platform/exception.h"
#include "platform/notifyingsocket.h"

#include <QIODevice>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class ESocketError : public Exception {
public:
    ESocketError(uint16_t code, QString message) : Exception(std::move(message)), code_(code) {}
    uint16_t ErrorCode() const { return code_; }

private:
    uint16_t code_;
};
REGISCRIBE_EXCEPTION(ETimedOutError, Exception)
REGISCRIBE_EXCEPTION(ECanceledError, Exception)
REGISCRIBE_EXCEPTION(EWinsockDLLError, Exception)
// A refusal by the server; the message is the reply line that caused it.
REGISCRIBE_EXCEPTION(EServerError, Exception)

// Events: the first argument is always the component that fires it.
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TmsProgressEvent = std::function<void(QObject* Sender, int Perc, int Transferred)>;
// The handler may replace the message text.
using TmsErrorEvent = std::function<void(QObject* Sender, QString& Msg)>;

// Transport codes of its own (texts in sockettexts.cpp).
enum TransportErrorCode : uint16_t {
    ErrTimedOut = 57000,
    ErrCanceled = 57001,
    ErrServerRequired = 57002,
    ErrWinsockVersion = 57003,
    ErrResolvingHost = 57004,
    ErrServiceRequired = 57005,
    ErrNotConnected = 57008,
};

class TagSocket : public QObject {
public:
    explicit TagSocket(QObject* parent = nullptr);
    ~TagSocket() override;

    // --- properties
    // The interface is always present here; the flag only records the state.
    bool WinsockLoaded() const { return winsockLoaded_; }
    void SetWinsockLoaded(bool on) { winsockLoaded_ = on; }
    const QString& Server() const { return server_; }
    void SetServer(const QString& server) { server_ = server; }
    uint16_t DefaultPort() const { return defaultPort_; }
    void SetDefaultPort(uint16_t port) { defaultPort_ = port; }
    const QString& ServiceName() const { return serviceName_; }
    void SetServiceName(const QString& name) { serviceName_ = name; }
    int TimeOut() const { return counter_.TimeOut(); }
    void SetTimeOut(int seconds) { counter_.SetTimeOut(seconds); }
    const QString& LocalHostName() const { return localHostName_; }
    const QString& LastReply() const { return lastReply_; }
    bool Canceled() const { return canceled_; }
    // True from Open (socket created) until Close.
    bool Connected() const { return socket_.IsOpen(); }
    // The address and port the last Open found (host byte order).
    uint32_t RemoteAddress() const { return remoteAddress_; }
    uint16_t Port() const { return port_; }
    // The port used when Server names none, instead of the service look-up; 0 looks the service
    // up as described.
    void SetImplicitPort(uint16_t port) { implicitPort_ = port; }
    // Every line of the last reply ReadReply read (LastReply is its last).
    const QStringList& ReplyLines() const { return replyLines_; }
    // True while the connection runs over TLS; the protocol in words ("TLS 1.3").
    bool Secured() const { return tls_ != nullptr; }
    QString TlsVersion() const { return tls_ ? tls_->Version() : QString(); }

    // --- events
    TNotifyEvent OnOpen;
    TNotifyEvent OnClosing;
    TNotifyEvent OnClosed;
    TNotifyEvent OnCancel;
    TmsProgressEvent OnProgress;
    TmsErrorEvent OnError;
    // Each command line sent ("C: ...") and reply line read ("S: ..."), for a trace.
    std::function<void(const QString& line)> OnTrace;

    // --- operations
    // Clears Canceled, TimedOut, the pending look-up, EventError and the notification flags.
    virtual void Reset();
    // The first three characters of `line` as a decimal number; -1 when they are not one.
    virtual int ReplyCode(const QString& line) const;
    // Fires OnOpen; then finds the local name, the remote address and the port, and creates the
    // socket.
    virtual void Open();
    // With a socket open: OnClosing, close, OnClosed. Otherwise nothing.
    virtual void Close();
    // Sets Canceled, fires OnCancel, abandons a pending look-up and closes; the waiting operation
    // then ends with ECanceledError.
    virtual void Cancel();

    void ConnectSocket();
    // Sends `line` followed by CR LF; `traced` is what the trace shows of it (a secret's
    // stand-in), the line itself when empty.
    void SendLine(const QString& line, const QString& traced = QString());
    // Secures the open connection with TLS for `host`, waiting for the handshake as for a reply.
    // A refused certificate or a failed handshake closes the connection and raises ETlsError.
    void StartTls(const QString& host);
    // Receives one line; `line` gets it without its trailing CR and LF, its control and invisible
    // characters shown as escapes (PeerText). Returns its ReplyCode, or
    // -1 when no complete line arrived. A line longer than 255 bytes is cut there and the rest of
    // it is read and dropped.
    int ReadLine(QString& line);
    // Reads a whole (multi-line) reply into LastReply; returns the code of its first line. A
    // reply of more than MaxReplyLines lines or MaxReplyBytes bytes closes the connection and
    // raises EServerError "The server's reply is too long."; one that takes longer than TimeOut
    // in all times out.
    int ReadReply();
    // Sends the stream's whole content in chunks of 2047 bytes, firing OnProgress after each and
    // once more with (0, 0) at the end.
    void SendStream(QIODevice& stream);
    // Raises ESocketError with the text of `code` after OnError (0 returns at once).
    void RaiseSocketError(uint16_t code);

    static constexpr int MaxLineLength = 255;
    static constexpr int MaxReplyLines = 100;
    static constexpr int64_t MaxReplyBytes = 64 * 1024;
    static constexpr int ChunkSize = 2047;

protected:
    // The host part of Server (text before the first ":").
    QString HostPart() const;
    // True when the peer has closed its side (or reset it), seen without taking any data.
    bool PeerHasClosed();
    // The peer has closed its side and nothing it sent is left unread here.
    bool PeerClosed() const { return peerClosed_ && rxPos_ >= rx_.size(); }

private:
    void ResolveRemoteHost();
    void FindPort();
    // A wait: Start, process events until `done`, Stop.
    void Wait(const std::function<bool()>& done);
    void AbandonLookup();
    [[noreturn]] void TimeOutFailure();
    [[noreturn]] void ReplyTooLongFailure();
    [[noreturn]] void CancelFailure();
    [[noreturn]] void ConnectFailure(uint16_t code);
    // Timed-out or canceled ends of a wait, in that order.
    void CheckTimeOutAndCancel();
    // Sends everything in data; restartOnProgress restarts the countdown whenever bytes go out.
    void SendAll(const char* data, int64_t size, bool restartOnProgress);
    void NoteEvent(int code);
    // The connection's own send and receive: through TLS once it is secured.
    int64_t ChannelSend(const char* data, int64_t size, int& error);
    int64_t ChannelReceive(char* data, int64_t size, int& error);
    // Decrypted bytes that wait in TLS: data to read although the socket has none.
    bool Buffered() const { return rxPos_ < rx_.size() || (tls_ && tls_->Pending() > 0); }
    // One received byte: from the read-ahead, which is refilled a block at a time (a long line
    // is then not read with a call per byte). Returns 1, or what ChannelReceive returned.
    int64_t ReceiveByte(char& c, int& error);
    // Drops what was read ahead (at a close, and before TLS starts: bytes that came in the clear
    // must never pass for protected ones).
    void DropReadAhead();
    void Trace(const char* direction, const QString& line);
    [[noreturn]] void TlsFailure();

    NotifyingSocket socket_;
    std::unique_ptr<TTlsChannel> tls_;
    QStringList replyLines_;
    QByteArray rx_;            // bytes read ahead of the current line
    qsizetype rxPos_ = 0;      // the first of them not yet taken
    int64_t replyBudget_ = -1; // bytes the reply being read may still take; -1: no reply
    uint16_t implicitPort_ = 0;
    TTimeCounter counter_;
    QString server_;
    uint16_t defaultPort_ = 0;
    QString serviceName_;
    QString localHostName_;
    QString lastReply_;
    uint32_t remoteAddress_ = 0;
    uint16_t port_ = 0;
    int startupCount_ = 0;
    int pendingLookup_ = 0; // the host look-up's id, 0 when none
    unsigned lookupGeneration_ = 0;
    bool winsockLoaded_ = false;
    bool canceled_ = false;
    bool hostResolved_ = false;
    bool serviceResolved_ = false;
    bool connectDone_ = false;
    bool readReady_ = false;
    bool peerClosed_ = false;
    bool writable_ = false;
    bool eventError_ = false;
    uint16_t eventErrorCode_ = 0;
};

// The mail-protocol base: a greeting after Open and a farewell before Close.
class TmsMailBase : public TagSocket {
public:
    using TagSocket::TagSocket;

    // Open and StartSession unless a socket is already open.
    void Connect();
    // EndSession and Close when a socket is open. The socket is closed even when the farewell
    // fails, so the next Connect starts afresh; that failure is raised afterwards.
    void Disconnect();

protected:
    virtual void StartSession() = 0;
    virtual void EndSession() = 0;
};
