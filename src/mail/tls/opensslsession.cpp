// The TLS module: client sessions on OpenSSL. OpenSSL reads and writes through the transport
// itself (a BIO of our own over it), so no call blocks and no thread is needed. There is no way
// to turn the certificate checks off.
#include "mail/tlsbackend.h"
#include "platform/module.h"
#include "platform/socketerrors.h"

#include <QByteArray>
#include <QFile>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>
#include <string>
#include <sys/stat.h>

namespace {
// The BIO's state: the socket, and the last socket error it met.
struct SocketLink {
    TlsTransport* socket;
    int error = 0;
};

int LinkWrite(BIO* bio, const char* data, size_t size, size_t* written) {
    auto* link = static_cast<SocketLink*>(BIO_get_data(bio));
    BIO_clear_retry_flags(bio);
    int error = 0;
    const int64_t n = link->socket->Send(data, int64_t(size), error);
    if (n < 0) {
        if (error == WSAEWOULDBLOCK)
            BIO_set_retry_write(bio);
        else
            link->error = error;
        return 0;
    }
    *written = size_t(n);
    return 1;
}

int LinkRead(BIO* bio, char* data, size_t size, size_t* read) {
    auto* link = static_cast<SocketLink*>(BIO_get_data(bio));
    BIO_clear_retry_flags(bio);
    int error = 0;
    const int64_t n = link->socket->Receive(data, int64_t(size), error);
    if (n < 0) {
        if (error == WSAEWOULDBLOCK)
            BIO_set_retry_read(bio);
        else
            link->error = error;
        return 0;
    }
    *read = size_t(n);
    return n > 0 ? 1 : 0;
}

long LinkControl(BIO*, int command, long, void*) {
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int LinkDestroy(BIO* bio) {
    delete static_cast<SocketLink*>(BIO_get_data(bio));
    BIO_set_data(bio, nullptr);
    return 1;
}

BIO_METHOD* LinkMethod() {
    static BIO_METHOD* method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "mail socket");
        BIO_meth_set_write_ex(m, LinkWrite);
        BIO_meth_set_read_ex(m, LinkRead);
        BIO_meth_set_ctrl(m, LinkControl);
        BIO_meth_set_destroy(m, LinkDestroy);
        return m;
    }();
    return method;
}

SocketLink* LinkOf(SSL* ssl) {
    BIO* bio = ssl ? SSL_get_rbio(ssl) : nullptr;
    return bio ? static_cast<SocketLink*>(BIO_get_data(bio)) : nullptr;
}

// The socket error under a failed TLS call; 0 when the socket itself did not fail.
int SocketErrorOf(SSL* ssl) {
    const SocketLink* link = LinkOf(ssl);
    return link ? link->error : 0;
}

// Whether `dir` holds certificates under their subject hashes ("1a2b3c4d.0"), as the system's
// certificate folder does.
bool IsHashedFolder(const char* dir) {
    DIR* folder = dir ? opendir(dir) : nullptr;
    if (!folder) return false;
    bool hashed = false;
    while (const dirent* entry = readdir(folder)) {
        const char* name = entry->d_name;
        size_t hex = 0;
        while (hex < 8 && std::isxdigit(static_cast<unsigned char>(name[hex])))
            ++hex;
        if (hex == 8 && name[8] == '.' && std::isdigit(static_cast<unsigned char>(name[9]))) {
            hashed = true;
            break;
        }
    }
    closedir(folder);
    return hashed;
}

// Whether two paths name the same file.
bool SameFile(const char* a, const char* b) {
    struct stat first {
    }, second{};
    return a && b && stat(a, &first) == 0 && stat(b, &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The system's trust store. Loading the whole bundle file parses every authority's certificate,
// which was most of a secure send's processor time; the hashed folder is searched only for the
// issuers a chain names, so it is used wherever it exists. SSL_CERT_DIR and SSL_CERT_FILE still
// rule; a SSL_CERT_FILE that is the system's own bundle adds nothing the folder lacks.
void UseSystemTrustStore(SSL_CTX* ctx) {
    const char* file = std::getenv(X509_get_default_cert_file_env());
    const char* dirEnv = std::getenv(X509_get_default_cert_dir_env());
    const char* dir = dirEnv ? dirEnv : X509_get_default_cert_dir();
    const bool hashed = IsHashedFolder(dir);
    if (!hashed) {
        if (file)
            SSL_CTX_load_verify_file(ctx, file);
        else
            SSL_CTX_set_default_verify_paths(ctx);
    } else {
        SSL_CTX_load_verify_dir(ctx, dir);
        const std::string bundle = std::string(dir) + "/ca-certificates.crt";
        if (file && !SameFile(file, X509_get_default_cert_file()) &&
            !SameFile(file, bundle.c_str()))
            SSL_CTX_load_verify_file(ctx, file);
    }
    ERR_clear_error();
}

// The client context, made once: system trust store, the extra anchors, TLS 1.2 at least.
SSL_CTX* ClientContext() {
    static SSL_CTX* context = [] {
        // The tables of every cipher and digest by name serve the old lookups by name; filling
        // them cost more than the handshake. TLS needs none of the ciphers there, and certificate
        // checks only the digests that certificates are signed with.
        OPENSSL_init_ssl(OPENSSL_INIT_NO_ADD_ALL_CIPHERS | OPENSSL_INIT_NO_ADD_ALL_DIGESTS |
                             OPENSSL_INIT_LOAD_CONFIG,
                         nullptr);
        for (const EVP_MD* digest :
             {EVP_sha1(), EVP_sha224(), EVP_sha256(), EVP_sha384(), EVP_sha512(), EVP_sha512_224(),
              EVP_sha512_256(), EVP_sha3_224(), EVP_sha3_256(), EVP_sha3_384(), EVP_sha3_512()})
            EVP_add_digest(digest);
        SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
        if (!ctx) return ctx;
        SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
        UseSystemTrustStore(ctx);
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_mode(ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
        return ctx;
    }();
    return context;
}

// Done when the PEM file `file` can be read and holds a certificate block; why it gives no trust
// anchors, else. The certificates themselves are parsed once, when the context loads them.
Done ReadableAnchorFile(const QByteArray& file) {
    FILE* stream = std::fopen(file.constData(), "rb");
    if (!stream) return Fail(QString::fromLocal8Bit(std::strerror(errno)));
    QByteArray text;
    char buffer[16384];
    size_t n;
    bool failed = false;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0 && text.size() < (16 << 20))
        text.append(buffer, qsizetype(n));
    if (std::ferror(stream)) failed = true;
    const int error = errno;
    std::fclose(stream);
    if (failed) return Fail(QString::fromLocal8Bit(std::strerror(error)));
    if (text.contains("-----BEGIN CERTIFICATE-----") ||
        text.contains("-----BEGIN TRUSTED CERTIFICATE-----"))
        return {};
    return Fail("it holds no PEM certificate");
}

QString AnchorFileFailure(const QByteArray& file, const QString& reason) {
    return "The trust anchors in " + QFile::decodeName(file) + " could not be read: " + reason;
}

// The extra trust anchors of REGISCRIBE_CA_FILE, loaded once per file name.
Done LoadExtraAnchors(SSL_CTX* ctx) {
    static QByteArray loaded;
    const QByteArray file = qgetenv("REGISCRIBE_CA_FILE");
    if (file.isEmpty() || file == loaded) return {};
    if (SSL_CTX_load_verify_locations(ctx, file.constData(), nullptr) != 1) {
        ERR_clear_error();
        const Done readable = ReadableAnchorFile(file);
        return Fail(AnchorFileFailure(file, readable ? "it is not a PEM file" : readable.Error()));
    }
    loaded = file;
    return {};
}

QString OpenSslReason() {
    const unsigned long code = ERR_peek_last_error();
    ERR_clear_error();
    if (code == 0) return QString();
    const char* reason = ERR_reason_error_string(code);
    return reason ? QString::fromUtf8(reason) : QString("error %1").arg(code);
}
QString CertificateWords(long verifyResult) {
    switch (verifyResult) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return "certificate has expired";
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return "certificate is not yet valid";
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        return "self-signed certificate";
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        return "issued by an authority that is not trusted";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return "host name mismatch";
    case X509_V_ERR_CERT_REVOKED:
        return "certificate has been revoked";
    default:
        return QString::fromUtf8(X509_verify_cert_error_string(verifyResult));
    }
}

class OpenSslSession : public TlsSession {
public:
    ~OpenSslSession() override {
        if (ssl_) SSL_free(ssl_);
    }

    Done Begin(TlsTransport& transport, const QString& host) {
        SSL_CTX* ctx = ClientContext();
        if (!ctx) return Fail("The secure connection failed: " + OpenSslReason());
        if (const Done anchors = LoadExtraAnchors(ctx); !anchors) return anchors;
        ssl_ = SSL_new(ctx);
        if (!ssl_) return Fail("The secure connection failed: " + OpenSslReason());
        BIO* bio = BIO_new(LinkMethod());
        BIO_set_data(bio, new SocketLink{&transport});
        BIO_set_init(bio, 1);
        SSL_set_bio(ssl_, bio, bio);

        const QByteArray name = host.toUtf8();
        in_addr ip{};
        if (inet_pton(AF_INET, name.constData(), &ip) == 1) {
            // An address is checked against the certificate's IP entries; no SNI is sent for it.
            X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), name.constData());
        } else {
            SSL_set_tlsext_host_name(ssl_, name.constData());
            SSL_set1_host(ssl_, name.constData());
        }
        SSL_set_connect_state(ssl_);
        return {};
    }

    Step Handshake() override {
        if (!ssl_) return Step::Failed;
        ERR_clear_error();
        const int rc = SSL_do_handshake(ssl_);
        if (rc == 1) return Step::Done;
        const int error = SSL_get_error(ssl_, rc);
        if (error == SSL_ERROR_WANT_READ) return Step::WantRead;
        if (error == SSL_ERROR_WANT_WRITE) return Step::WantWrite;
        const long verify = SSL_get_verify_result(ssl_);
        if (verify != X509_V_OK) {
            failure_ = "The server's certificate was not accepted: " + CertificateWords(verify);
            ERR_clear_error();
            return Step::Failed;
        }
        if (const int error = SocketErrorOf(ssl_)) socketError_ = error;
        QString reason = OpenSslReason();
        if (reason.isEmpty())
            reason = socketError_ ? QString("the connection broke off")
                                  : QString("the server ended the connection");
        failure_ = "The secure connection failed: " + reason;
        return Step::Failed;
    }

    int64_t Send(const char* data, int64_t size, int& error) override {
        error = 0;
        if (!ssl_) {
            error = WSAENOTSOCK;
            return -1;
        }
        size_t written = 0;
        ERR_clear_error();
        if (SSL_write_ex(ssl_, data, size_t(size), &written) == 1) return int64_t(written);
        const int code = SSL_get_error(ssl_, 0);
        if (code == SSL_ERROR_WANT_WRITE || code == SSL_ERROR_WANT_READ) {
            error = WSAEWOULDBLOCK;
        } else {
            const int socketError = SocketErrorOf(ssl_);
            error = socketError ? socketError : int(WSAECONNABORTED);
            ERR_clear_error();
        }
        return -1;
    }

    int64_t Receive(char* data, int64_t size, int& error) override {
        error = 0;
        if (!ssl_) {
            error = WSAENOTSOCK;
            return -1;
        }
        size_t read = 0;
        ERR_clear_error();
        if (SSL_read_ex(ssl_, data, size_t(size), &read) == 1) return int64_t(read);
        const int code = SSL_get_error(ssl_, 0);
        if (code == SSL_ERROR_WANT_READ || code == SSL_ERROR_WANT_WRITE) {
            error = WSAEWOULDBLOCK;
            return -1;
        }
        const int socketError = SocketErrorOf(ssl_);
        if (code == SSL_ERROR_ZERO_RETURN || (code == SSL_ERROR_SYSCALL && socketError == 0)) {
            // The peer ended the session, with or without saying so.
            ERR_clear_error();
            return 0;
        }
        error = socketError ? socketError : int(WSAECONNABORTED);
        ERR_clear_error();
        return -1;
    }

    int64_t Pending() const override { return ssl_ ? SSL_pending(ssl_) : 0; }

    QString Version() const override {
        if (!ssl_) return QString();
        switch (SSL_version(ssl_)) {
        case TLS1_3_VERSION:
            return "TLS 1.3";
        case TLS1_2_VERSION:
            return "TLS 1.2";
        default:
            return QString::fromUtf8(SSL_get_version(ssl_));
        }
    }

    void Shutdown() override {
        if (!ssl_ || !SSL_is_init_finished(ssl_)) return;
        ERR_clear_error();
        SSL_shutdown(ssl_);
        ERR_clear_error();
    }

    QString FailureText() const override { return failure_; }
    int SocketError() const override { return socketError_; }

private:
    SSL* ssl_ = nullptr;
    QString failure_;
    int socketError_ = 0;
};

class OpenSslBackend : public TlsBackend {
public:
    Result<std::unique_ptr<TlsSession>> Begin(TlsTransport& transport,
                                              const QString& host) override {
        auto session = std::make_unique<OpenSslSession>();
        if (const Done begun = session->Begin(transport, host); !begun) return Fail(begun.Error());
        return std::unique_ptr<TlsSession>(std::move(session));
    }
    Done VerifyAnchorFile(const QByteArray& file) override { return ReadableAnchorFile(file); }
    QString CertificateProblem(long verifyResult) override {
        return CertificateWords(verifyResult);
    }
};
} // namespace

REGISCRIBE_MODULE_ENTRY(TlsBackend, regiscribe_tls) {
    // Loaded after the program started, OpenSSL would clean up at exit before the threads that
    // may still use it have ended (see the HTTPS module): its state is left to the process's end.
    OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
    static OpenSslBackend backend;
    return &backend;
}
