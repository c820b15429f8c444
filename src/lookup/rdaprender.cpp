#include "lookup/rdaprender.h"

#include <QJsonArray>
#include <QJsonValue>

namespace {
constexpr int MaxEntityDepth = 6;

// A text worth showing: a non-empty string that is not a redaction notice.
bool Shown(const QString& value) {
    const QString t = value.trimmed();
    return !t.isEmpty() && !t.contains("REDACTED", Qt::CaseInsensitive);
}

QString String(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString();
}

// A value as text: a string, or a number given where a string belongs (an IANA ID, say).
QString Text(const QJsonValue& value) {
    if (value.isString()) return value.toString();
    if (value.isDouble()) return QString::number(qint64(value.toDouble()));
    return QString();
}

// A text field: a string only (a number where a name belongs is no name).
void Add(QStringList& lines, const QString& label, const QJsonValue& value) {
    if (value.isString() && Shown(value.toString())) lines << label + ": " + value.toString();
}

// A field that may come as a number (an identifier, a length).
void AddNumberOrText(QStringList& lines, const QString& label, const QJsonValue& value) {
    const QString text = Text(value);
    if (Shown(text)) lines << label + ": " + text;
}

// Every string of a member that should be a list of strings (a lone string counts as one).
QStringList Strings(const QJsonValue& value) {
    QStringList texts;
    if (value.isString()) texts << value.toString();
    for (const QJsonValue& v : value.toArray())
        if (v.isString()) texts << v.toString();
    return texts;
}

// The parts of a vCard value flattened: a part may itself be a list.
void Flatten(const QJsonValue& value, QStringList& parts) {
    if (value.isArray())
        for (const QJsonValue& v : value.toArray())
            Flatten(v, parts);
    else if (value.isString() && Shown(value.toString()))
        parts << value.toString().trimmed();
}

// The vCard properties of an entity ([name, params, type, value] each).
QJsonArray Properties(const QJsonObject& entity) {
    const QJsonArray vcard = entity.value("vcardArray").toArray();
    return vcard.size() >= 2 && vcard[1].isArray() ? vcard[1].toArray() : QJsonArray();
}

// Every text value of the vCard properties of a name, in order.
QStringList VcardTexts(const QJsonArray& properties, const QString& name) {
    QStringList values;
    for (const QJsonValue& p : properties) {
        const QJsonArray property = p.toArray();
        if (property.size() < 4 || property[0].toString().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QStringList parts;
        Flatten(property[3], parts);
        QString value = parts.join(", ");
        if (name == "tel" && value.startsWith("tel:", Qt::CaseInsensitive)) value = value.mid(4);
        if (Shown(value)) values << value;
    }
    return values;
}

// The postal address: its parts, with the country from the country part, else from the "cc"
// parameter, so that a region ("CA") is never taken for the country; the "label" parameter when
// the parts are empty.
QString VcardAddress(const QJsonArray& properties) {
    for (const QJsonValue& p : properties) {
        const QJsonArray property = p.toArray();
        if (property.size() < 4 || property[0].toString().compare("adr", Qt::CaseInsensitive) != 0)
            continue;
        const QJsonObject params = property[1].toObject();
        const QJsonArray value = property[3].toArray();
        QStringList parts;
        for (int i = 0; i < 6 && i < value.size(); ++i)
            Flatten(value[i], parts);
        QStringList country;
        if (value.size() > 6) Flatten(value[6], country);
        if (country.isEmpty() && Shown(String(params, "cc"))) country << String(params, "cc");
        if (parts.isEmpty()) {
            QStringList label;
            for (QString line : String(params, "label").split('\n')) {
                line = line.trimmed();
                if (Shown(line)) label << line;
            }
            if (!label.isEmpty()) return label.join(", ");
        }
        parts += country;
        if (!parts.isEmpty()) return parts.join(", ");
    }
    return QString();
}

QString RoleLabel(const QString& role) {
    const QString r = role.toLower();
    if (r == "registrant") return "Registrant";
    if (r == "administrative") return "Administrative";
    if (r == "technical") return "Technical";
    if (r == "billing") return "Billing";
    if (r == "abuse") return "Abuse";
    if (r == "registrar") return "Registrar";
    return r.isEmpty() ? QString("Contact") : r.left(1).toUpper() + r.mid(1);
}

void RenderEntity(const QJsonObject& entity, QStringList& lines, int depth) {
    if (depth > MaxEntityDepth) return;
    const QJsonArray properties = Properties(entity);
    QStringList roles = Strings(entity.value("roles"));
    if (roles.isEmpty()) roles << QString();
    for (const QString& role : roles) {
        const QString label = RoleLabel(role);
        const bool registrar = label == "Registrar";
        const QStringList names = VcardTexts(properties, "fn");
        const QStringList orgs = VcardTexts(properties, "org");
        if (registrar) {
            for (const QString& name : names.mid(0, 1))
                lines << "Registrar: " + name;
            for (const QJsonValue& id : entity.value("publicIds").toArray()) {
                const QJsonObject o = id.toObject();
                if (String(o, "type").compare("IANA Registrar ID", Qt::CaseInsensitive) == 0)
                    AddNumberOrText(lines, "Registrar IANA ID", o.value("identifier"));
            }
            for (const QString& org : orgs.mid(0, 1))
                if (!names.contains(org)) lines << "Registrar Organization: " + org;
        } else {
            for (const QString& name : names.mid(0, 1))
                lines << label + " Name: " + name;
            for (const QString& org : orgs.mid(0, 1))
                lines << label + " Organization: " + org;
        }
        Add(lines, label + " Handle", entity.value("handle"));
        const std::pair<const char*, const char*> repeated[] = {
            {"email", "E-Mail"}, {"tel", "Phone"}, {"contact-uri", "Contact"}, {"url", "URL"}};
        for (const auto& [property, caption] : repeated)
            for (const QString& value : VcardTexts(properties, property))
                lines << label + " " + caption + ": " + value;
        const QString address = VcardAddress(properties);
        if (!address.isEmpty()) lines << label + " Address: " + address;
    }
    for (const QJsonValue& nested : entity.value("entities").toArray())
        if (nested.isObject()) RenderEntity(nested.toObject(), lines, depth + 1);
}

void RenderNotices(const QJsonObject& o, const char* key, QStringList& lines) {
    for (const QJsonValue& n : o.value(QLatin1String(key)).toArray()) {
        const QJsonObject notice = n.toObject();
        const QStringList text = Strings(notice.value("description"));
        QStringList links;
        for (const QJsonValue& l : notice.value("links").toArray())
            if (const QString href = String(l.toObject(), "href"); !href.isEmpty())
                links << "  " + href;
        const QString title = String(notice, "title");
        if (title.isEmpty() && text.isEmpty() && links.isEmpty()) continue;
        lines << QString();
        if (!title.isEmpty()) lines << title;
        lines << text << links;
    }
}

// The first event of an action, as given.
void AddEvent(const QJsonObject& o, const char* action, const char* caption, QStringList& lines) {
    for (const QJsonValue& e : o.value("events").toArray()) {
        const QJsonObject event = e.toObject();
        if (String(event, "eventAction").compare(QLatin1String(action), Qt::CaseInsensitive) == 0) {
            Add(lines, caption, event.value("eventDate"));
            return;
        }
    }
}

void AddStatus(const QJsonObject& o, QStringList& lines) {
    for (const QString& status : Strings(o.value("status")))
        Add(lines, "Status", status);
}

void RenderDomain(const QJsonObject& o, QStringList& lines) {
    Add(lines, "Domain Name", o.value("ldhName"));
    const QString unicode = String(o, "unicodeName");
    if (Shown(unicode) && unicode.compare(String(o, "ldhName"), Qt::CaseInsensitive) != 0)
        lines << "Unicode Name: " + unicode;
    Add(lines, "Handle", o.value("handle"));
    AddStatus(o, lines);
    AddEvent(o, "registration", "Registered", lines);
    AddEvent(o, "expiration", "Expires", lines);
    AddEvent(o, "registrar expiration", "Registrar Expires", lines);
    AddEvent(o, "transfer", "Transferred", lines);
    AddEvent(o, "last changed", "Last changed", lines);
    for (const QJsonValue& n : o.value("nameservers").toArray()) {
        const QJsonObject ns = n.toObject();
        const QString name = String(ns, "ldhName");
        if (!Shown(name)) continue;
        const QJsonObject ips = ns.value("ipAddresses").toObject();
        const QStringList addresses = Strings(ips.value("v4")) + Strings(ips.value("v6"));
        lines << "Name Server: " + name +
                     (addresses.isEmpty() ? QString() : " (" + addresses.join(", ") + ")");
    }
    const QJsonObject secure = o.value("secureDNS").toObject();
    const QJsonValue signedDelegation = secure.value("delegationSigned");
    if (signedDelegation.isBool())
        lines << QString("DNSSEC: ") + (signedDelegation.toBool() ? "signed" : "unsigned");
    for (const QJsonValue& d : secure.value("dsData").toArray()) {
        const QJsonObject ds = d.toObject();
        QStringList fields;
        for (const char* key : {"keyTag", "algorithm", "digestType", "digest"})
            if (const QString v = Text(ds.value(QLatin1String(key))); !v.isEmpty()) fields << v;
        if (!fields.isEmpty()) lines << "DS Record: " + fields.join(' ');
    }
}

void RenderNetwork(const QJsonObject& o, QStringList& lines) {
    const QString start = String(o, "startAddress"), end = String(o, "endAddress");
    if (!start.isEmpty()) lines << "Network: " + start + (end.isEmpty() ? QString() : " - " + end);
    for (const QJsonValue& c : o.value("cidr0_cidrs").toArray()) {
        const QJsonObject cidr = c.toObject();
        const QString prefix =
            cidr.contains("v4prefix") ? String(cidr, "v4prefix") : String(cidr, "v6prefix");
        const QString length = Text(cidr.value("length"));
        if (!prefix.isEmpty() && !length.isEmpty()) lines << "CIDR: " + prefix + "/" + length;
    }
    Add(lines, "Name", o.value("name"));
    Add(lines, "Handle", o.value("handle"));
    Add(lines, "Type", o.value("type"));
    Add(lines, "Country", o.value("country"));
    AddStatus(o, lines);
    AddEvent(o, "registration", "Registered", lines);
    AddEvent(o, "last changed", "Last changed", lines);
    Add(lines, "Parent Handle", o.value("parentHandle"));
}

void RenderAutnum(const QJsonObject& o, QStringList& lines) {
    const QString start = Text(o.value("startAutnum")), end = Text(o.value("endAutnum"));
    if (!start.isEmpty())
        lines << "AS Number: " + start + (end.isEmpty() || end == start ? QString() : " - " + end);
    Add(lines, "Name", o.value("name"));
    Add(lines, "Handle", o.value("handle"));
    Add(lines, "Type", o.value("type"));
    Add(lines, "Country", o.value("country"));
    AddStatus(o, lines);
    AddEvent(o, "registration", "Registered", lines);
    AddEvent(o, "last changed", "Last changed", lines);
}

// The object's own links, but its self link and the registrar referral (asked separately).
void RenderLinks(const QJsonObject& o, QStringList& lines) {
    const QString registrar = RegistrarLink(o);
    for (const QJsonValue& l : o.value("links").toArray()) {
        const QJsonObject link = l.toObject();
        const QString href = String(link, "href"), rel = String(link, "rel");
        if (href.isEmpty() || rel.compare("self", Qt::CaseInsensitive) == 0 || href == registrar)
            continue;
        lines << "Link: " + href + (rel.isEmpty() ? QString() : " (" + rel + ")");
    }
}

// RFC 9537: what the server withheld, and why.
void RenderRedactions(const QJsonObject& o, QStringList& lines) {
    auto words = [](const QJsonValue& value) {
        const QJsonObject object = value.toObject();
        const QString description = Text(object.value("description"));
        return description.isEmpty() ? Text(object.value("type")) : description;
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
    QString kind = String(answer, "objectClassName").toLower();
    // An answer that does not say what it is is what was asked for.
    if (kind.isEmpty()) kind = askedKind;
    if (kind == "ip network")
        RenderNetwork(answer, lines);
    else if (kind == "autnum")
        RenderAutnum(answer, lines);
    else
        RenderDomain(answer, lines);
    Add(lines, "WHOIS Server", answer.value("port43"));
    RenderLinks(answer, lines);
    for (const QJsonValue& entity : answer.value("entities").toArray())
        if (entity.isObject()) RenderEntity(entity.toObject(), lines, 1);
    RenderRedactions(answer, lines);
    RenderNotices(answer, "notices", lines);
    RenderNotices(answer, "remarks", lines);
    return OneLineEach(lines);
}

QString RegistrarLink(const QJsonObject& answer) {
    for (const QJsonValue& l : answer.value("links").toArray()) {
        const QJsonObject link = l.toObject();
        if (String(link, "rel").compare("related", Qt::CaseInsensitive) == 0 &&
            String(link, "type").compare("application/rdap+json", Qt::CaseInsensitive) == 0 &&
            !String(link, "href").isEmpty())
            return String(link, "href");
    }
    return {};
}
