#include "lookup/whoisreferral.h"

QString WhoisServer::Key() const {
    return port == 43 ? host.toLower() : host.toLower() + ":" + QString::number(port);
}

namespace {
// "host" or "host:port"; nothing for text that is no host.
std::optional<WhoisServer> ParseServer(QString value) {
    value = value.trimmed();
    if (value.startsWith("whois://", Qt::CaseInsensitive)) value = value.mid(8);
    while (value.endsWith('/'))
        value.chop(1);
    WhoisServer server;
    const qsizetype colon = value.lastIndexOf(':');
    if (colon > 0 && value.indexOf(':') == colon) {
        bool ok = false;
        const uint port = value.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535) return std::nullopt;
        server.port = uint16_t(port);
        value.truncate(colon);
    }
    if (value.isEmpty()) return std::nullopt;
    // A host name has no blanks, control characters (a NUL would cut it short on its way to the
    // resolver) or slashes; an answer naming such a thing names no server.
    for (QChar c : value)
        if (c.isSpace() || c.category() == QChar::Other_Control || c == '/') return std::nullopt;
    server.host = value;
    return server;
}
} // namespace

std::optional<WhoisServer> FindReferral(const QStringList& answerLines) {
    static const char* const labels[] = {"Registrar WHOIS Server", "Whois Server", "ReferralServer",
                                         "refer"};
    for (const QString& line : answerLines) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) continue;
        const QString label = line.left(colon).trimmed();
        for (const char* wanted : labels)
            if (label.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0) {
                const auto server = ParseServer(line.mid(colon + 1));
                if (server) return server;
            }
    }
    return std::nullopt;
}
