#pragma once
// One HTTPS request of an RDAP look-up, through Qt Network on the window thread: "Accept:
// application/rdap+json", at most five redirects (never from https to http), certificates checked
// against the system store plus REGISCRIBE_CA_FILE, 15 seconds at most, and an answer of at most
// 10 MB (read as it comes, so a larger one costs no more memory than that).
#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>

struct HttpAnswer {
    int status = 0;  // the HTTP status; 0 when no answer came
    QString reason;  // its reason phrase
    QByteArray body; // as received
    QString failure; // a network, TLS, time or size failure in words; empty otherwise
    bool Ok() const { return failure.isEmpty() && status >= 200 && status < 300; }
};

class TRdapFetch : public QObject {
public:
    static constexpr int TimeLimitMs = 15000;
    static constexpr qint64 SizeLimit = 10 << 20;

    explicit TRdapFetch(QObject* parent = nullptr);
    ~TRdapFetch() override;

    // Starts a GET; `done` is called once, from the event loop. A request in progress is
    // abandoned first (its `done` is never called).
    void Get(const QUrl& url, std::function<void(const HttpAnswer&)> done);
    void Abort();
    bool Busy() const { return reply_ != nullptr; }

private:
    void Finish(HttpAnswer answer);
    void Take();

    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QTimer limit_;
    QByteArray body_;
    QString tooMuch_;
    std::function<void(const HttpAnswer&)> done_;
};
