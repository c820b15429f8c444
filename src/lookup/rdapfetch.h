#pragma once
// One HTTPS request of an RDAP look-up, on the window thread: "Accept: application/rdap+json",
// certificates checked against the system store plus REGISCRIBE_CA_FILE, 15 seconds at most, an
// answer of at most 10 MB (read as it comes, so a larger one costs no more memory than that; a
// compressed one counted as it expands), and
// at most five redirects, each only to an https address. The request itself goes through the
// HTTPS module, loaded at the first look-up.
#include "lookup/httpsbackend.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

struct HttpAnswer {
    int status = 0;        // the HTTP status; 0 when no answer came
    QString reason;        // its reason phrase
    QByteArray body;       // as received
    QByteArray retryAfter; // the Retry-After header, as received
    QString failure;       // a network, TLS, redirect, time or size failure in words
    bool Ok() const { return failure.isEmpty() && status >= 200 && status < 300; }
};

class TRdapFetch : public QObject {
public:
    static constexpr int TimeLimitMs = 15000;
    static constexpr qint64 SizeLimit = 10 << 20;
    static constexpr int MaxRedirects = 5;

    explicit TRdapFetch(QObject* parent = nullptr);
    ~TRdapFetch() override;

    // Starts a GET; `done` is called once, from the event loop. A request in progress is
    // abandoned first (its `done` is never called).
    void Get(const QUrl& url, std::function<void(const HttpAnswer&)> done);
    void Abort();
    bool Busy() const { return busy_; }

private:
    void Request(const QUrl& url);
    void Answered(const HttpsReply& reply);
    void Finish(const HttpAnswer& answer);

    std::unique_ptr<HttpsClient> client_;
    QTimer limit_;
    QUrl first_, current_;
    int redirects_ = 0;
    bool busy_ = false;
    std::function<void(const HttpAnswer&)> done_;
};
