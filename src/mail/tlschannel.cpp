#include "mail/tlschannel.h"

#include "platform/module.h"
#include "platform/notifyingsocket.h"
#include "platform/socketerrors.h"

#include <QFile>

namespace {
Result<TlsBackend*> Backend() {
    Result<TlsBackend*> loaded = SharedModuleInterface<TlsBackend>(TlsModuleName, TlsModuleEntry);
    if (!loaded) return Fail("The secure connection failed: " + loaded.Error());
    return loaded;
}

class SocketTransport : public TlsTransport {
public:
    explicit SocketTransport(NotifyingSocket& socket) : socket_(socket) {}
    int64_t Send(const char* data, int64_t size, int& error) override {
        return socket_.Send(data, size, error);
    }
    int64_t Receive(char* data, int64_t size, int& error) override {
        return socket_.Receive(data, size, error);
    }

private:
    NotifyingSocket& socket_;
};
} // namespace

void CheckTrustAnchors() {
    const QByteArray file = qgetenv("REGISCRIBE_CA_FILE");
    if (file.isEmpty()) return;
    const Result<TlsBackend*> backend = Backend();
    if (!backend) throw ETlsError(backend.Error());
    if (const Done readable = backend.Value()->VerifyAnchorFile(file); !readable)
        throw ETlsError("The trust anchors in " + QFile::decodeName(file) +
                        " could not be read: " + readable.Error());
}

TTlsChannel::TTlsChannel(NotifyingSocket& socket)
    : transport_(std::make_unique<SocketTransport>(socket)) {}

TTlsChannel::~TTlsChannel() = default;

QString TTlsChannel::CertificateProblem(long verifyResult) {
    const Result<TlsBackend*> backend = Backend();
    if (!backend) return "certificate check failed (code " + QString::number(verifyResult) + ")";
    return backend.Value()->CertificateProblem(verifyResult);
}

void TTlsChannel::Begin(const QString& host) {
    session_.reset();
    const Result<TlsBackend*> backend = Backend();
    if (!backend) throw ETlsError(backend.Error());
    Result<std::unique_ptr<TlsSession>> session = backend.Value()->Begin(*transport_, host);
    if (!session) throw ETlsError(session.Error());
    session_ = std::move(session).Value();
}

TTlsChannel::Step TTlsChannel::Handshake() {
    return session_ ? session_->Handshake() : Step::Failed;
}

QString TTlsChannel::FailureText() const {
    return session_ ? session_->FailureText() : QString();
}

int TTlsChannel::SocketError() const {
    return session_ ? session_->SocketError() : 0;
}

int64_t TTlsChannel::Send(const char* data, int64_t size, int& error) {
    error = 0;
    if (session_) return session_->Send(data, size, error);
    error = WSAENOTSOCK;
    return -1;
}

int64_t TTlsChannel::Receive(char* data, int64_t size, int& error) {
    error = 0;
    if (session_) return session_->Receive(data, size, error);
    error = WSAENOTSOCK;
    return -1;
}

int64_t TTlsChannel::Pending() const {
    return session_ ? session_->Pending() : 0;
}

QString TTlsChannel::Version() const {
    return session_ ? session_->Version() : QString();
}

void TTlsChannel::Shutdown() {
    if (session_) session_->Shutdown();
}
