#pragma once
// The server a WHOIS answer refers to: the first line of the form "Registrar WHOIS Server: HOST",
// "Whois Server: HOST", "ReferralServer: whois://HOST[:PORT]" or "refer: HOST" (labels compared
// without regard to case; the value read after every trailing CR, blank and control character is
// dropped, so an empty value names no server; a ":PORT" after any host is taken).
//
// An answer in the old "thick" form lists many records, each opened by "Domain Name:" or "Server
// Name:" and each with its own "Whois Server:". Only the lines before the first record (where the
// IANA form puts its "refer:") and the record of the name asked count.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

struct WhoisServer {
    QString host;
    uint16_t port = 43;
    // "host" or "host:port", lower case: how "already asked" is told.
    QString Key() const;
    // "host", or "host:port" when the port is not 43: as the progress line names it.
    QString Shown() const;
};

struct WhoisReferral {
    std::optional<WhoisServer> server;
    // A referral that cannot be followed ("rwhois://host:port"); empty when none.
    QString unsupported;
};

// The referral search over an answer as it arrives, a line at a time: it keeps only what it needs
// to know where it is (before the records, in the record asked), so an answer of any size costs
// it nothing more. `asked`: the name the query asked for (A-label), for the thick form; empty
// counts every line.
class ReferralSearch {
public:
    explicit ReferralSearch(const QString& asked = QString()) : asked_(asked) {}
    // The next line of the answer, without its line end (trailing CRs are dropped here).
    void Feed(const QString& line);
    const WhoisReferral& Found() const { return found_; }

private:
    QString asked_;
    bool inRecords_ = false;
    bool inAsked_ = false;
    bool done_ = false;
    WhoisReferral found_;
};

// The referral of a whole answer.
WhoisReferral FindReferral(const QStringList& answerLines, const QString& asked = QString());
// The name a WHOIS query asks for: its last word without a leading "=" or "!".
QString AskedName(const QString& query);
