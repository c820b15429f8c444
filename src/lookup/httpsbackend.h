#pragma once
// What the HTTPS module (lookup/https, on Qt Network) offers: one GET at a time on the window
// thread, certificates checked against the system store plus REGISCRIBE_CA_FILE, redirects not
// followed (the caller decides where it may be sent), and the body read as it comes up to a
// limit.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <utility>

struct HttpsReply {
    int status = 0;        // the HTTP status; 0 when no answer came
    QString reason;        // its reason phrase
    QByteArray body;       // as received
    QByteArray location;   // the Location header of a redirect
    QByteArray retryAfter; // the Retry-After header
    QString failure;       // a network or TLS failure in words; empty otherwise
    bool tooLarge = false; // the body passed the size limit (and was dropped)
};

class HttpsClient {
public:
    using Headers = QList<std::pair<QByteArray, QByteArray>>;
    virtual ~HttpsClient() = default;
    // Starts a GET; `done` is called once, from the event loop, unless the request is aborted
    // first. A request in progress is aborted.
    virtual void Get(const QUrl& url, const Headers& headers, qint64 sizeLimit,
                     std::function<void(const HttpsReply&)> done) = 0;
    virtual void Abort() = 0;
};

// The module's name and its entry point, `HttpsClient* regiscribe_https_client()`: a new client
// that the caller owns.
inline constexpr const char* HttpsModuleName = "https";
inline constexpr const char* HttpsModuleEntry = "regiscribe_https_client";
