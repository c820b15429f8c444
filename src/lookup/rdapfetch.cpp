#include "lookup/rdapfetch.h"

#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace {
// The system's trust store, and the extra anchors of REGISCRIBE_CA_FILE.
QSslConfiguration TlsConfiguration() {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    const QByteArray extra = qgetenv("REGISCRIBE_CA_FILE");
    if (!extra.isEmpty()) configuration.addCaCertificates(QFile::decodeName(extra));
    return configuration;
}
} // namespace

TRdapFetch::TRdapFetch(QObject* parent) : QObject(parent) {
    limit_.setSingleShot(true);
    limit_.setInterval(TimeLimitMs);
    connect(&limit_, &QTimer::timeout, this, [this] {
        HttpAnswer answer;
        answer.failure =
            QString("The RDAP server did not answer within %1 seconds").arg(TimeLimitMs / 1000);
        Finish(answer);
    });
}

TRdapFetch::~TRdapFetch() {
    Abort();
}

void TRdapFetch::Abort() {
    limit_.stop();
    done_ = nullptr;
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void TRdapFetch::Get(const QUrl& url, std::function<void(const HttpAnswer&)> done) {
    Abort();
    body_.clear();
    tooMuch_.clear();
    done_ = std::move(done);
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/rdap+json");
    request.setRawHeader("User-Agent", "Regiscribe/1.71");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setSslConfiguration(TlsConfiguration());
    QNetworkReply* reply = manager_.get(request);
    reply_ = reply;
    // Qt buffers no more than this; the rest waits in the socket until it is read.
    reply->setReadBufferSize(256 << 10);
    connect(reply, &QNetworkReply::readyRead, this, &TRdapFetch::Take);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply != reply_) return;
        Take();
        HttpAnswer answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        answer.body = body_;
        if (!tooMuch_.isEmpty())
            answer.failure = tooMuch_;
        else if (reply->error() != QNetworkReply::NoError && answer.status == 0)
            answer.failure = reply->errorString();
        Finish(answer);
    });
    limit_.start();
}

void TRdapFetch::Take() {
    if (!reply_ || !tooMuch_.isEmpty()) return;
    body_ += reply_->readAll();
    if (body_.size() > SizeLimit) {
        tooMuch_ = QString("The RDAP answer is larger than %1 MB").arg(SizeLimit >> 20);
        body_.clear();
        body_.squeeze();
        HttpAnswer answer;
        answer.failure = tooMuch_;
        Finish(answer);
    }
}

void TRdapFetch::Finish(HttpAnswer answer) {
    auto done = std::move(done_);
    Abort();
    if (done) done(answer);
}
