#include "lookup/rdapfetch.h"

#include "platform/module.h"

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
    busy_ = false;
    if (client_) client_->Abort();
}

void TRdapFetch::Get(const QUrl& url, std::function<void(const HttpAnswer&)> done) {
    Abort();
    done_ = std::move(done);
    busy_ = true;
    first_ = url;
    redirects_ = 0;
    // Only the web: the access manager would read a "file:" or "data:" address as well.
    const QString scheme = url.scheme().toLower();
    if (scheme != "https" && scheme != "http") {
        HttpAnswer answer;
        answer.failure = "Not fetched: the address is not https (" + url.toDisplayString() + ").";
        QTimer::singleShot(0, this, [this, answer] { Finish(answer); });
        return;
    }
    if (!client_) {
        Result<HttpsClient*> client =
            ModuleInterface<HttpsClient>(HttpsModuleName, HttpsModuleEntry);
        client_.reset(client.ValueOr(nullptr));
        if (!client_) {
            HttpAnswer answer;
            answer.failure = "HTTPS is not available: " + client.Error();
            // Told from the event loop, as every answer is.
            QTimer::singleShot(0, this, [this, answer] { Finish(answer); });
            return;
        }
    }
    Request(url);
}

void TRdapFetch::Request(const QUrl& url) {
    current_ = url;
    const HttpsClient::Headers headers{{"Accept", "application/rdap+json"},
                                       {"User-Agent", "Regiscribe/1.71"}};
    client_->Get(url, headers, SizeLimit, [this](const HttpsReply& reply) { Answered(reply); });
    limit_.start();
}

void TRdapFetch::Answered(const HttpsReply& reply) {
    HttpAnswer answer;
    if (reply.tooLarge) {
        answer.failure = QString("The answer is larger than %1 MB.").arg(SizeLimit >> 20);
        return Finish(answer);
    }
    const bool redirect = reply.status >= 300 && reply.status < 400 && !reply.location.isEmpty();
    if (redirect && reply.failure.isEmpty()) {
        const QUrl next = current_.resolved(QUrl::fromEncoded(reply.location.trimmed()));
        // A redirect may never take the request out of TLS, nor to a local file.
        if (next.scheme().compare("https", Qt::CaseInsensitive) != 0) {
            answer.failure =
                "The server redirected to an address that is not https: " + next.toDisplayString() +
                ".";
            return Finish(answer);
        }
        if (++redirects_ > MaxRedirects) {
            answer.failure = "Too many redirects (" + first_.toDisplayString() + ").";
            return Finish(answer);
        }
        return Request(next);
    }
    answer.status = reply.status;
    answer.reason = reply.reason;
    answer.body = reply.body;
    answer.retryAfter = reply.retryAfter;
    answer.failure = reply.failure;
    Finish(answer);
}

void TRdapFetch::Finish(const HttpAnswer& answer) {
    auto done = std::move(done_);
    Abort();
    if (done) done(answer);
}
