#include "lookup/rdapquery.h"

#include "platform/idna.h"
#include "platform/idnarules.h"
#include "platform/ipaddress.h"

#include <QRegularExpression>
#include <QUrl>

namespace {
// A domain's or name server's name as asked: its ASCII form, or why it is refused.
RdapQuery Named(RdapQuery q, const QString& text) {
    QString name = text;
    while (!name.isEmpty() && IsLabelSeparator(name.back()))
        name.chop(1);
    const Result<QString> ascii = NameToAscii(name);
    if (!ascii)
        q.refusal = NotAValidName(text, ascii.Error());
    else
        q.key = ascii.Value();
    return q;
}
} // namespace

std::optional<RdapQuery> ClassifyRdapQuery(const QString& typed, RdapObject object) {
    RdapQuery q;
    q.typed = typed;
    const QString text = typed.trimmed();
    if (text.isEmpty()) return std::nullopt;
    if (object == RdapObject::Entity) {
        q.kind = RdapKind::Entity;
        q.key = text;
        return q;
    }
    if (object == RdapObject::Nameserver) {
        q.kind = RdapKind::Nameserver;
        return Named(q, text);
    }

    static const QRegularExpression asn(QStringLiteral("^(?:[Aa][Ss])?([0-9]+)$"));
    if (const auto m = asn.match(text); m.hasMatch()) {
        bool ok = false;
        const qulonglong number = m.captured(1).toULongLong(&ok);
        if (!ok || number > 0xFFFFFFFFull) return std::nullopt;
        q.kind = RdapKind::Autnum;
        q.key = QString::number(number);
        return q;
    }

    if (const std::optional<IpNetwork> network = ParseIpNetwork(text)) {
        q.kind = network->address.v6 ? RdapKind::IpV6 : RdapKind::IpV4;
        q.address = network->address.ToString();
        q.prefix = network->length;
        q.key = q.prefix < 0 ? q.address : q.address + "/" + QString::number(q.prefix);
        return q;
    }

    // Digits and dots that make no address are never a name either ("1.1" is not 1.0.0.1).
    static const QRegularExpression numeric(QStringLiteral("^[0-9.]+(/[0-9]*)?$"));
    if (numeric.match(text).hasMatch()) {
        q.refusal = "The text " + text + " is neither a domain name nor an IP address.";
        return q;
    }
    q.kind = RdapKind::Domain;
    return Named(q, text);
}

QString BootstrapFileOf(RdapKind kind) {
    switch (kind) {
    case RdapKind::IpV4:
        return "ipv4.json";
    case RdapKind::IpV6:
        return "ipv6.json";
    case RdapKind::Autnum:
        return "asn.json";
    case RdapKind::Entity:
        return "object-tags.json";
    case RdapKind::Domain:
    case RdapKind::Nameserver:
        break;
    }
    return "dns.json";
}

QString RdapPath(const RdapQuery& query) {
    switch (query.kind) {
    case RdapKind::IpV4:
    case RdapKind::IpV6:
        return "ip/" + query.key;
    case RdapKind::Autnum:
        return "autnum/" + query.key;
    case RdapKind::Entity:
        return "entity/" + QString::fromLatin1(QUrl::toPercentEncoding(query.key));
    case RdapKind::Nameserver:
        return "nameserver/" + query.key;
    case RdapKind::Domain:
        break;
    }
    return "domain/" + query.key;
}
