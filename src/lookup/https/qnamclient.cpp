// The HTTPS module: GET requests through Qt Network's access manager.
#include "lookup/https/bodyinflater.h"
#include "lookup/httpsbackend.h"
#include "platform/module.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslConfiguration>
#include <memory>
#include <openssl/crypto.h>

namespace {
// The system's trust store, and the extra anchors of REGISCRIBE_CA_FILE.
QSslConfiguration TlsConfiguration() {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    const QByteArray extra = qgetenv("REGISCRIBE_CA_FILE");
    if (!extra.isEmpty()) configuration.addCaCertificates(QFile::decodeName(extra));
    return configuration;
}

class QnamClient : public QObject, public HttpsClient {
public:
    ~QnamClient() override { Abort(); }

    void Get(const QUrl& url, const Headers& headers, qint64 sizeLimit,
             std::function<void(const HttpsReply&)> done) override {
        Abort();
        body_.clear();
        tooLarge_ = false;
        broken_ = false;
        inflater_.reset();
        sizeLimit_ = sizeLimit;
        done_ = std::move(done);
        QNetworkRequest request(url);
        for (const auto& [name, value] : headers)
            request.setRawHeader(name, value);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        request.setSslConfiguration(TlsConfiguration());
        // A compressed answer is expanded here as it is read (BodyInflater), measured by the
        // size limit as it grows: asking for it by name keeps the access manager from expanding
        // it on its own thread, ahead of the reader and past any limit.
        bool namesEncoding = false;
        for (const auto& [name, value] : headers)
            namesEncoding =
                namesEncoding || name.compare("Accept-Encoding", Qt::CaseInsensitive) == 0;
        if (!namesEncoding) request.setRawHeader("Accept-Encoding", "gzip, deflate");
        QNetworkReply* reply = manager_.get(request);
        reply_ = reply;
        // Qt buffers no more than this; the rest waits in the socket until it is read.
        reply->setReadBufferSize(256 << 10);
        connect(reply, &QNetworkReply::readyRead, this, [this] { Take(); });
        connect(reply, &QNetworkReply::finished, this, [this, reply] {
            if (reply != reply_) return;
            Take();
            HttpsReply answer;
            answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            answer.reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            answer.body = body_;
            answer.location = reply->rawHeader("Location");
            answer.retryAfter = reply->rawHeader("Retry-After");
            answer.tooLarge = tooLarge_;
            // Network, proxy and protocol failures (a connection lost in the middle of the
            // body, say) are told even after a status came; HTTP's own errors are the status.
            const int error = reply->error();
            const bool broken = (error > 0 && error < 200) || (error >= 300 && error < 400);
            if (error != QNetworkReply::NoError && (answer.status == 0 || broken))
                answer.failure = reply->errorString();
            else if (broken_)
                answer.failure = "The server's compressed answer is damaged.";
            Finish(answer);
        });
    }

    void Abort() override {
        done_ = nullptr;
        if (QNetworkReply* reply = reply_) {
            reply_ = nullptr;
            reply->disconnect(this);
            reply->abort();
            reply->deleteLater();
        }
    }

private:
    void Take() {
        if (!reply_ || tooLarge_) return;
        if (!inflater_)
            inflater_ = std::make_unique<BodyInflater>(reply_->rawHeader("Content-Encoding"));
        const QByteArray bytes = reply_->readAll();
        if (!broken_ && !inflater_->Add(bytes, body_, sizeLimit_)) broken_ = true;
        if (body_.size() <= sizeLimit_) return;
        tooLarge_ = true;
        body_.clear();
        body_.squeeze();
        HttpsReply answer;
        answer.tooLarge = true;
        Finish(answer);
    }

    void Finish(const HttpsReply& answer) {
        auto done = std::move(done_);
        Abort();
        if (done) done(answer);
    }

    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QByteArray body_;
    qint64 sizeLimit_ = 0;
    bool tooLarge_ = false;
    bool broken_ = false; // the compressed body could not be expanded
    std::unique_ptr<BodyInflater> inflater_;
    std::function<void(const HttpsReply&)> done_;
};
} // namespace

REGISCRIBE_MODULE_ENTRY(HttpsClient, regiscribe_https_client) {
    // OpenSSL comes in with the network library's TLS plugin, after the program started. Its
    // clean-up at exit would then run before the network library's own and free locks that the
    // library's thread still holds (a race the thread checker saw at the end of `rdap`): OpenSSL
    // is told, before the library first uses it, to leave its state to the end of the process.
    OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
    return new QnamClient;
}
