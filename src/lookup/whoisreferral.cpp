#include "lookup/whoisreferral.h"

QString WhoisServer::Key() const {
    return port == 43 ? host.toLower() : host.toLower() + ":" + QString::number(port);
}

QString WhoisServer::Shown() const {
    return port == 43 ? host : host + ":" + QString::number(port);
}

namespace {
// The value without what trails it: a CR, blanks, control characters.
QString Trimmed(QString value) {
    while (!value.isEmpty() &&
           (value.back().isSpace() || value.back().category() == QChar::Other_Control))
        value.chop(1);
    return value.trimmed();
}

// "host" or "host:port"; nothing for text that is no host.
std::optional<WhoisServer> ParseServer(QString value) {
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

// The label of a "Label: value" line, and its value; an empty label for other lines.
std::pair<QString, QString> Split(const QString& line) {
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) return {};
    return {line.left(colon).trimmed(), Trimmed(line.mid(colon + 1))};
}

bool Is(const QString& label, const char* wanted) {
    return label.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
}

} // namespace

QString AskedName(const QString& query) {
    QString word = query.trimmed().section(' ', -1);
    while (word.startsWith('=') || word.startsWith('!'))
        word.remove(0, 1);
    while (word.endsWith('.'))
        word.chop(1);
    return word;
}

void ReferralSearch::Feed(const QString& line) {
    if (done_) return;
    static const char* const labels[] = {"Registrar WHOIS Server", "Whois Server", "ReferralServer",
                                         "refer"};
    const auto [label, value] = Split(line);
    // Only the lines before the first record, and the record of the name asked, count.
    if (Is(label, "Domain Name") || Is(label, "Server Name")) {
        inRecords_ = true;
        inAsked_ = !asked_.isEmpty() && Is(label, "Domain Name") &&
                   value.compare(asked_, Qt::CaseInsensitive) == 0;
    }
    if (inRecords_ && !inAsked_ && !asked_.isEmpty()) return;
    if (label.isEmpty() || value.isEmpty()) return;
    for (const char* wanted : labels) {
        if (!Is(label, wanted)) continue;
        if (value.startsWith("rwhois://", Qt::CaseInsensitive)) {
            QString where = value;
            while (where.endsWith('/'))
                where.chop(1);
            found_.unsupported = where;
            done_ = true;
            return;
        }
        if (const auto server = ParseServer(value)) {
            found_.server = server;
            done_ = true;
            return;
        }
    }
}

WhoisReferral FindReferral(const QStringList& answerLines, const QString& asked) {
    ReferralSearch search(asked);
    for (const QString& line : answerLines)
        search.Feed(line);
    return search.Found();
}
