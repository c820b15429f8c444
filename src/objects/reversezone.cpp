#include "objects/reversezone.h"

#include "platform/ipaddress.h"

#include <QRegularExpression>

namespace {
bool IsOctet(const QString& label) {
    static const QRegularExpression octet("^(0|[1-9][0-9]{0,2})$");
    return octet.match(label).hasMatch() && label.toInt() <= 255;
}

bool IsHostName(const QString& host) {
    static const QRegularExpression pattern(
        "^[a-z0-9]([a-z0-9-]{0,61}[a-z0-9])?(\\.[a-z0-9]([a-z0-9-]{0,61}[a-z0-9])?)+$",
        QRegularExpression::CaseInsensitiveOption);
    return host.size() <= 253 && pattern.match(host).hasMatch();
}

QString WithoutFinalDot(QString name) {
    if (name.endsWith('.')) name.chop(1);
    return name;
}

std::optional<ReverseZone> ReadIpv4Zone(const QStringList& labels, QString* why) {
    if (labels.isEmpty() || labels.size() > 4) {
        *why = "one to four octets before in-addr.arpa";
        return std::nullopt;
    }
    for (int i = 0; i < labels.size(); ++i) {
        const QString& label = labels[i];
        if (label.contains('-')) {
            if (i != 0 || labels.size() != 4) {
                *why = "a dash range only in the first label of a four-label name";
                return std::nullopt;
            }
            const QStringList ends = label.split('-');
            if (ends.size() != 2 || !IsOctet(ends[0]) || !IsOctet(ends[1])) {
                *why = "\"" + label + "\" is no range of octets";
                return std::nullopt;
            }
            if (ends[0].toInt() >= ends[1].toInt()) {
                *why = "the range " + label + " is reversed";
                return std::nullopt;
            }
            if (ends[0] == "0" && ends[1] == "255") {
                *why = "Invalid use of dash notation: 0-255 is the whole /24, named by the three "
                       "labels after it";
                return std::nullopt;
            }
            continue;
        }
        if (!IsOctet(label)) {
            *why = "\"" + label + "\" is no octet";
            return std::nullopt;
        }
    }
    return ReverseZone{QString(), false, int(labels.size()) * 8};
}

std::optional<ReverseZone> ReadIpv6Zone(const QStringList& labels, QString* why) {
    static const QRegularExpression nibble("^[0-9a-f]$");
    if (labels.isEmpty() || labels.size() > 32) {
        *why = "one to 32 nibbles before ip6.arpa";
        return std::nullopt;
    }
    for (const QString& label : labels)
        if (!nibble.match(label).hasMatch()) {
            *why = "\"" + label + "\" is no hex digit (ip6.arpa names one nibble a label)";
            return std::nullopt;
        }
    return ReverseZone{QString(), true, int(labels.size()) * 4};
}
} // namespace

std::optional<ReverseZone> ReadReverseZone(const QString& text, QString* why) {
    const QString name = WithoutFinalDot(text.trimmed()).toLower();
    std::optional<ReverseZone> zone;
    const auto labelsBefore = [&](const QString& suffix) {
        return name.chopped(suffix.size()).split('.');
    };
    if (name.endsWith(".in-addr.arpa"))
        zone = ReadIpv4Zone(labelsBefore(".in-addr.arpa"), why);
    else if (name.endsWith(".ip6.arpa"))
        zone = ReadIpv6Zone(labelsBefore(".ip6.arpa"), why);
    else
        *why = "not a reverse zone under in-addr.arpa or ip6.arpa";
    if (zone) zone->name = name;
    return zone;
}

void CheckReverseZone(const QString& value, const ValueContext&, ValueFindings& out) {
    QString why;
    if (!ReadReverseZone(value, &why)) out.push_back(SyntaxError(value, "domain", why));
}

void CheckNameServer(const QString& value, const ValueContext& c, ValueFindings& out) {
    const QStringList words = value.split(' ', Qt::SkipEmptyParts);
    const QString host = words.isEmpty() ? QString() : WithoutFinalDot(words[0]).toLower();
    if (words.size() > 2 || !IsHostName(host)) {
        out.push_back(
            SyntaxError(value, "name server", "a host name and an optional glue address"));
        return;
    }
    bool glue = false;
    if (words.size() == 2) {
        QString address = words[1];
        QString length;
        if (const qsizetype slash = address.indexOf('/'); slash >= 0) {
            length = address.mid(slash + 1);
            address = address.left(slash);
        }
        const std::optional<IpAddress> parsed = ParseIpAddress(address);
        if (!parsed || (!length.isEmpty() && length != QString::number(parsed->Bits()))) {
            out.push_back(
                SyntaxError(value, "name server", "the glue must be one IPv4 or IPv6 address"));
            return;
        }
        if (!length.isEmpty())
            out.push_back(Warning(words[1] + " is taken as the address " + parsed->ToString()));
        glue = true;
    }
    QString why;
    const std::optional<ReverseZone> zone = ReadReverseZone(c.object.ClassValue(), &why);
    if (!zone) return;
    const bool inside = host == zone->name || host.endsWith('.' + zone->name);
    if (inside && !glue) out.push_back(RuleError("glue-required", {"zone", zone->name}));
    if (!inside && glue) out.push_back(RuleError("glue-outside", {"zone", zone->name}));
    if (host == "ns.ripe.net" && zone->prefixLength != (zone->v6 ? 32 : 16))
        out.push_back(RuleError("ns-ripe-net", {}));
}

void CheckDsRdata(const QString& value, const ValueContext&, ValueFindings& out) {
    QStringList words = value.split(' ', Qt::SkipEmptyParts);
    words.removeAll("(");
    words.removeAll(")");
    bool keyTagOk = false, algorithmOk = false, typeOk = false;
    const uint keyTag = words.value(0).toUInt(&keyTagOk);
    const uint algorithm = words.value(1).toUInt(&algorithmOk);
    const uint type = words.value(2).toUInt(&typeOk);
    if (words.size() < 4 || !keyTagOk || keyTag > 65535 || !algorithmOk || algorithm > 255 ||
        !typeOk || type > 255) {
        out.push_back(SyntaxError(value, "DS record",
                                  "a key tag (0-65535), an algorithm and a digest type (0-255), "
                                  "then the digest"));
        return;
    }
    const QString digest = words.mid(3).join(QString());
    static const QRegularExpression hex("^[0-9A-Fa-f]+$");
    // The digest lengths of SHA-1, SHA-256, GOST R 34.11-94 and SHA-384.
    static const int lengths[] = {0, 40, 64, 64, 96};
    if (!hex.match(digest).hasMatch()) {
        out.push_back(SyntaxError(value, "DS record",
                                  "Digest format is invalid for digest type " +
                                      QString::number(type) + ": hex digits only"));
    } else if (type >= 1 && type <= 4 && digest.size() != lengths[type]) {
        out.push_back(SyntaxError(value, "DS record",
                                  QString("Digest format is invalid for digest type %1: %2 hex "
                                          "digits where %3 belong")
                                      .arg(type)
                                      .arg(digest.size())
                                      .arg(lengths[type])));
    } else if (type < 1 || type > 4) {
        out.push_back(Warning(
            QString("digest type %1 is none of 1 to 4; its length is not checked").arg(type)));
    }
}
