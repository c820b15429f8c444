#pragma once
// What the TLS module (mail/tls, on OpenSSL) offers: client sessions over the mail transport's
// non-blocking socket. The module reads and writes through the transport it is given, so the
// transport's notifications, waits and time-out counter drive the handshake and the records
// exactly as they drive plain text. A module: OpenSSL is loaded by the commands that open a
// secured connection only (loading it took a sixth of every short command's start).
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

// The socket under a session: -1 with WSAEWOULDBLOCK in `error` when it must wait, 0 from
// Receive when the peer closed.
class TlsTransport {
public:
    virtual ~TlsTransport() = default;
    virtual int64_t Send(const char* data, int64_t size, int& error) = 0;
    virtual int64_t Receive(char* data, int64_t size, int& error) = 0;
};

class TlsSession {
public:
    virtual ~TlsSession() = default;
    enum class Step { Done, WantRead, WantWrite, Failed };
    // One attempt at the handshake; call again after the socket became readable or writable.
    virtual Step Handshake() = 0;
    // Why the handshake failed: "The server's certificate was not accepted: ..." or "The secure
    // connection failed: ...".
    virtual QString FailureText() const = 0;
    // The socket error that ended the handshake, if one did; 0 otherwise.
    virtual int SocketError() const = 0;
    // Like the transport's: -1 with WSAEWOULDBLOCK when the session must wait, 0 from Receive
    // when the peer ended the session.
    virtual int64_t Send(const char* data, int64_t size, int& error) = 0;
    virtual int64_t Receive(char* data, int64_t size, int& error) = 0;
    virtual int64_t Pending() const = 0;
    // The protocol in words, "TLS 1.3".
    virtual QString Version() const = 0;
    // Says goodbye to the peer where the socket takes it at once; never waits.
    virtual void Shutdown() = 0;
};

class TlsBackend {
public:
    virtual ~TlsBackend() = default;
    // A client session for `host` (a name or an IPv4 address) over `transport`: the system's
    // trust store plus the PEM file REGISCRIBE_CA_FILE names, the host name checked and sent
    // (SNI), TLS 1.2 at least. Fails with the words the user reads.
    virtual Result<std::unique_ptr<TlsSession>> Begin(TlsTransport& transport,
                                                      const QString& host) = 0;
    // Done when the PEM file `file` can be read and holds a certificate; why not, else.
    virtual Done VerifyAnchorFile(const QByteArray& file) = 0;
    // The words for a certificate check's result (OpenSSL's verify code).
    virtual QString CertificateProblem(long verifyResult) = 0;
};

inline constexpr const char* TlsModuleName = "tls";
inline constexpr const char* TlsModuleEntry = "regiscribe_tls";
