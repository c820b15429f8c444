#pragma once
// The server a WHOIS answer refers to: the first line of the form "Registrar WHOIS Server: HOST",
// "Whois Server: HOST", "ReferralServer: whois://HOST[:PORT]" or "refer: HOST" (labels compared
// without regard to case, blanks around the value dropped; a ":PORT" after any host is taken).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

struct WhoisServer {
    QString host;
    uint16_t port = 43;
    // "host" or "host:port", lower case: how "already asked" is told.
    QString Key() const;
};

std::optional<WhoisServer> FindReferral(const QStringList& answerLines);
