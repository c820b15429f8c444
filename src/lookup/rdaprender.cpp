#include "lookup/rdaprender.h"

#include "lookup/rdapentity.h"
#include "lookup/rdapfields.h"

#include <QJsonArray>
#include <QJsonValue>

namespace {
void RenderNotices(const QJsonObject& o, const char* key, QStringList& lines) {
    for (const QJsonValue& n : o.value(QLatin1String(key)).toArray()) {
        const QJsonObject notice = n.toObject();
        const QStringList text = DescriptionLines(notice);
        const QStringList links = NoticeLinks(notice);
        const QString title = StringMember(notice, "title");
        if (title.isEmpty() && text.isEmpty() && links.isEmpty()) continue;
        lines << QString();
        if (!title.isEmpty()) lines << title;
        lines << text << links;
    }
}

void AddStatus(const QJsonObject& o, QStringList& lines) {
    for (const QString& status : StringsOf(o.value("status")))
        AddField(lines, "Status", status);
}

// "NAME (192.0.2.1, 2001:db8::1)": a name server with the addresses the answer gives.
QString WithAddresses(const QString& name, const QJsonObject& ns) {
    const QJsonObject ips = ns.value("ipAddresses").toObject();
    const QStringList addresses = StringsOf(ips.value("v4")) + StringsOf(ips.value("v6"));
    return name + (addresses.isEmpty() ? QString() : " (" + addresses.join(", ") + ")");
}

// The key tag of a DNSKEY (RFC 4034, appendix B), from its flags, protocol, algorithm and key.
int KeyTag(int flags, int protocol, int algorithm, const QByteArray& key) {
    if (algorithm == 1)
        return key.size() >= 3 ? (uchar(key[key.size() - 3]) << 8) | uchar(key[key.size() - 2]) : 0;
    QByteArray data;
    data.append(char(flags >> 8))
        .append(char(flags))
        .append(char(protocol))
        .append(char(algorithm));
    data += key;
    quint32 sum = 0;
    for (qsizetype i = 0; i < data.size(); ++i)
        sum += (i & 1) ? uchar(data[i]) : quint32(uchar(data[i])) << 8;
    sum += (sum >> 16) & 0xFFFF;
    return int(sum & 0xFFFF);
}

// secureDNS.keyData: "DNSKEY: flags 257, protocol 3, algorithm 13, key tag 2371, key AwEA…nM=".
void AddKeyData(const QJsonObject& secure, QStringList& lines) {
    for (const QJsonValue& k : secure.value("keyData").toArray()) {
        const QJsonObject data = k.toObject();
        const QJsonValue flags = data.value("flags"), protocol = data.value("protocol"),
                         algorithm = data.value("algorithm");
        const QString key = StringMember(data, "publicKey").simplified().remove(' ');
        QStringList fields;
        if (!TextOf(flags).isEmpty()) fields << "flags " + TextOf(flags);
        if (!TextOf(protocol).isEmpty()) fields << "protocol " + TextOf(protocol);
        if (!TextOf(algorithm).isEmpty()) fields << "algorithm " + TextOf(algorithm);
        const QByteArray::FromBase64Result decoded =
            QByteArray::fromBase64Encoding(key.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        bool flagsOk = false, protocolOk = false, algorithmOk = false;
        const int f = TextOf(flags).toInt(&flagsOk), p = TextOf(protocol).toInt(&protocolOk),
                  a = TextOf(algorithm).toInt(&algorithmOk);
        if (flagsOk && protocolOk && algorithmOk && decoded && !decoded.decoded.isEmpty())
            fields << "key tag " + QString::number(KeyTag(f, p, a, decoded.decoded));
        if (!key.isEmpty())
            fields << "key " +
                          (key.size() > 24 ? key.left(12) + QChar(0x2026) + key.right(8) : key);
        if (!fields.isEmpty()) lines << "DNSKEY: " + fields.join(", ");
    }
}

void RenderDomain(const QJsonObject& o, QStringList& lines) {
    AddField(lines, "Domain Name", o.value("ldhName"));
    const QString unicode = StringMember(o, "unicodeName");
    if (ShownText(unicode) && unicode.compare(StringMember(o, "ldhName"), Qt::CaseInsensitive) != 0)
        lines << "Unicode Name: " + unicode;
    AddField(lines, "Handle", o.value("handle"));
    AddPublicIds(o, QString(), lines);
    AddStatus(o, lines);
    AddEvents(o, QString(), lines);
    for (const QJsonValue& n : o.value("nameservers").toArray()) {
        const QJsonObject ns = n.toObject();
        const QString name = StringMember(ns, "ldhName");
        if (ShownText(name)) lines << "Name Server: " + WithAddresses(name, ns);
    }
    const QJsonObject secure = o.value("secureDNS").toObject();
    const QJsonValue signedDelegation = secure.value("delegationSigned");
    if (signedDelegation.isBool())
        lines << QString("DNSSEC: ") + (signedDelegation.toBool() ? "signed" : "unsigned");
    for (const QJsonValue& d : secure.value("dsData").toArray()) {
        const QJsonObject ds = d.toObject();
        QStringList fields;
        for (const char* key : {"keyTag", "algorithm", "digestType", "digest"})
            if (const QString v = TextOf(ds.value(QLatin1String(key))); !v.isEmpty()) fields << v;
        if (!fields.isEmpty()) lines << "DS Record: " + fields.join(' ');
    }
    AddKeyData(secure, lines);
}

void RenderNameserver(const QJsonObject& o, QStringList& lines) {
    const QString name = StringMember(o, "ldhName");
    if (ShownText(name)) lines << "Name Server: " + name;
    const QString unicode = StringMember(o, "unicodeName");
    if (ShownText(unicode) && unicode.compare(name, Qt::CaseInsensitive) != 0)
        lines << "Unicode Name: " + unicode;
    AddField(lines, "Handle", o.value("handle"));
    const QJsonObject ips = o.value("ipAddresses").toObject();
    for (const QString& address : StringsOf(ips.value("v4")) + StringsOf(ips.value("v6")))
        AddField(lines, "IP Address", address);
    AddStatus(o, lines);
    AddEvents(o, QString(), lines);
}

void RenderEntityObject(const QJsonObject& o, QStringList& lines) {
    AddField(lines, "Handle", o.value("handle"));
    AddStatus(o, lines);
    RenderEntity(o, lines, 1, false);
}

void RenderNetwork(const QJsonObject& o, QStringList& lines) {
    const QString start = StringMember(o, "startAddress"), end = StringMember(o, "endAddress");
    if (!start.isEmpty()) lines << "Network: " + start + (end.isEmpty() ? QString() : " - " + end);
    for (const QJsonValue& c : o.value("cidr0_cidrs").toArray()) {
        const QJsonObject cidr = c.toObject();
        const QString prefix = cidr.contains("v4prefix") ? StringMember(cidr, "v4prefix")
                                                         : StringMember(cidr, "v6prefix");
        const QString length = TextOf(cidr.value("length"));
        if (!prefix.isEmpty() && !length.isEmpty()) lines << "CIDR: " + prefix + "/" + length;
    }
    AddField(lines, "Name", o.value("name"));
    AddField(lines, "Handle", o.value("handle"));
    AddField(lines, "Type", o.value("type"));
    AddField(lines, "Country", o.value("country"));
    AddStatus(o, lines);
    AddEvents(o, QString(), lines);
    AddField(lines, "Parent Handle", o.value("parentHandle"));
}

void RenderAutnum(const QJsonObject& o, QStringList& lines) {
    const QString start = TextOf(o.value("startAutnum")), end = TextOf(o.value("endAutnum"));
    if (!start.isEmpty())
        lines << "AS Number: " + start + (end.isEmpty() || end == start ? QString() : " - " + end);
    AddField(lines, "Name", o.value("name"));
    AddField(lines, "Handle", o.value("handle"));
    AddField(lines, "Type", o.value("type"));
    AddField(lines, "Country", o.value("country"));
    AddStatus(o, lines);
    AddEvents(o, QString(), lines);
}

// The object's own links, but its self link and, for a domain, the registrar referral (asked
// separately). A network's "related" link (its parent, another registry) is one of them.
void RenderLinks(const QJsonObject& o, const QString& kind, QStringList& lines) {
    const QString registrar = kind == "domain" ? RegistrarLink(o) : QString();
    for (const QJsonValue& l : o.value("links").toArray()) {
        const QJsonObject link = l.toObject();
        const QString href = StringMember(link, "href"), rel = StringMember(link, "rel");
        if (href.isEmpty() || rel.compare("self", Qt::CaseInsensitive) == 0 ||
            (!registrar.isEmpty() && href == registrar))
            continue;
        lines << "Link: " + href + (rel.isEmpty() ? QString() : " (" + rel + ")");
    }
}

// RFC 9537: what the server withheld, and why.
void RenderRedactions(const QJsonObject& o, QStringList& lines) {
    auto words = [](const QJsonValue& value) {
        const QJsonObject object = value.toObject();
        const QString description = TextOf(object.value("description"));
        return description.isEmpty() ? TextOf(object.value("type")) : description;
    };
    for (const QJsonValue& r : o.value("redacted").toArray()) {
        const QJsonObject redaction = r.toObject();
        const QString name = words(redaction.value("name"));
        if (name.isEmpty()) continue;
        const QString reason = words(redaction.value("reason"));
        lines << "Redacted: " + name + (reason.isEmpty() ? QString() : " (" + reason + ")");
    }
}

// A character that may reorder the line it is on.
bool IsBidiControl(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

// The server's text put to lines the tab can show as they are: a line break inside a value starts
// an indented continuation line (so that no value can pass for a line of its own, "Registrar:
// ..." say), other control characters become blanks, and bidirectional controls U+FFFD.
QStringList OneLineEach(const QStringList& rendered) {
    QStringList lines;
    for (const QString& line : rendered) {
        QString text = line;
        text.replace("\r\n", "\n").replace('\r', '\n');
        const QStringList parts = text.split('\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            QString part = parts[i];
            for (QChar& c : part) {
                if (c.category() == QChar::Other_Control)
                    c = ' ';
                else if (IsBidiControl(c))
                    c = QChar(0xFFFD);
            }
            lines << (i == 0 ? part : "  " + part);
        }
    }
    return lines;
}
} // namespace

QStringList RenderRdap(const QJsonObject& answer, const QString& askedKind) {
    QStringList lines;
    QString kind = StringMember(answer, "objectClassName").toLower();
    // An answer that does not say what it is is what was asked for.
    if (kind.isEmpty()) kind = askedKind;
    if (kind == "ip network")
        RenderNetwork(answer, lines);
    else if (kind == "autnum")
        RenderAutnum(answer, lines);
    else if (kind == "nameserver")
        RenderNameserver(answer, lines);
    else if (kind == "entity")
        RenderEntityObject(answer, lines);
    else
        RenderDomain(answer, lines);
    AddField(lines, "WHOIS Server", answer.value("port43"));
    RenderLinks(answer, kind, lines);
    if (kind != "entity")
        for (const QJsonValue& entity : answer.value("entities").toArray())
            if (entity.isObject()) RenderEntity(entity.toObject(), lines, 1);
    RenderRedactions(answer, lines);
    RenderNotices(answer, "notices", lines);
    if (kind != "entity") RenderNotices(answer, "remarks", lines);
    return OneLineEach(lines);
}

QString RegistrarLink(const QJsonObject& answer) {
    for (const QJsonValue& l : answer.value("links").toArray()) {
        const QJsonObject link = l.toObject();
        if (StringMember(link, "rel").compare("related", Qt::CaseInsensitive) == 0 &&
            StringMember(link, "type").compare("application/rdap+json", Qt::CaseInsensitive) == 0 &&
            !StringMember(link, "href").isEmpty())
            return StringMember(link, "href");
    }
    return {};
}
