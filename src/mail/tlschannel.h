#pragma once
// TLS on the mail transport's non-blocking socket, through the TLS module (mail/tlsbackend.h):
// the session reads and writes through the socket layer itself, so the transport's
// notifications, waits and time-out counter drive the handshake and the records exactly as they
// drive plain text: no blocking call, no thread. Certificates are checked against the system's
// trust store plus the PEM file named by REGISCRIBE_CA_FILE; the host name is checked and sent
// (SNI); TLS 1.2 at least. There is no way to turn the checks off.
#include "mail/tlsbackend.h"
#include "platform/exception.h"

#include <QString>
#include <cstdint>
#include <memory>

class NotifyingSocket;

// A TLS failure; the message says it in plain words.
REGISCRIBE_EXCEPTION(ETlsError, Exception)

// Raises ETlsError "The trust anchors in FILE could not be read: " + the reason when
// REGISCRIBE_CA_FILE names a file that cannot be read or holds no certificate; called before a
// secured connection is made, so that the user hears of the file and not of a failed handshake.
void CheckTrustAnchors();

class TTlsChannel {
public:
    explicit TTlsChannel(NotifyingSocket& socket);
    ~TTlsChannel();
    TTlsChannel(const TTlsChannel&) = delete;
    TTlsChannel& operator=(const TTlsChannel&) = delete;

    // Starts a client session for `host` (a name or an IPv4 address). Raises ETlsError when the
    // trust anchors cannot be loaded or the TLS module is missing.
    void Begin(const QString& host);

    using Step = TlsSession::Step;
    // One attempt at the handshake; call again after the socket became readable or writable.
    Step Handshake();
    // Why the handshake failed: "The server's certificate was not accepted: ..." or "The secure
    // connection failed: ...".
    QString FailureText() const;
    // The socket error that ended the handshake, if one did (a reset, say); 0 otherwise.
    int SocketError() const;

    // Like the socket's Send and Receive: -1 with WSAEWOULDBLOCK when the channel must wait, 0
    // from Receive when the peer ended the session.
    int64_t Send(const char* data, int64_t size, int& error);
    int64_t Receive(char* data, int64_t size, int& error);
    // Decrypted bytes waiting to be received.
    int64_t Pending() const;
    // The protocol in words, "TLS 1.3".
    QString Version() const;
    // Says goodbye to the peer where the socket takes it at once; never waits.
    void Shutdown();

    // The words for a certificate check's result (OpenSSL's verify code).
    static QString CertificateProblem(long verifyResult);

private:
    std::unique_ptr<TlsTransport> transport_;
    std::unique_ptr<TlsSession> session_;
};
