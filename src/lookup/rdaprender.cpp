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

// A text field: only a string counts.
void Add(QStringList& lines, const QString& label, const QJsonValue& value) {
    if (value.isString() && Shown(value.toString())) lines << label + ": " + value.toString();
}

QString String(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString();
}

// A number field (AS numbers), given as a JSON number.
QString Number(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() ? QString::number(qint64(v.toDouble())) : QString();
}

// The parts of a vCard value flattened: a part may itself be a list.
void Flatten(const QJsonValue& value, QStringList& parts) {
    if (value.isArray())
        for (const QJsonValue& v : value.toArray())
            Flatten(v, parts);
    else if (value.isString() && Shown(value.toString()))
        parts << value.toString().trimmed();
}

// The first vCard property of a name: its value as text ("" when absent or unusable).
QString VcardText(const QJsonArray& properties, const QString& name) {
    for (const QJsonValue& p : properties) {
        const QJsonArray property = p.toArray();
        if (property.size() < 4 || property[0].toString().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const QJsonValue value = property[3];
        // Names, addresses of mail and phones are single texts; an organization or a postal
        // address may be a list.
        if (name != "org" && name != "adr" && !value.isString()) continue;
        if (name == "tel") {
            QString tel = value.toString();
            if (tel.startsWith("tel:", Qt::CaseInsensitive)) tel = tel.mid(4);
            if (Shown(tel)) return tel;
            continue;
        }
        QStringList parts;
        Flatten(value, parts);
        if (!parts.isEmpty()) return parts.join(", ");
        if (name == "adr") {
            // A formatted address may stand in the "label" parameter instead.
            const QString label = property[1].toObject().value("label").toString();
            QStringList lines = label.split('\n', Qt::SkipEmptyParts);
            for (QString& l : lines)
                l = l.trimmed();
            lines.removeAll(QString());
            if (Shown(lines.join(", "))) return lines.join(", ");
        }
    }
    return {};
}

QString RoleLabel(const QString& role) {
    const QString r = role.toLower();
    if (r == "registrant") return "Registrant";
    if (r == "administrative") return "Administrative";
    if (r == "technical") return "Technical";
    if (r == "billing") return "Billing";
    if (r == "abuse") return "Abuse";
    return r.isEmpty() ? QString("Contact") : r.left(1).toUpper() + r.mid(1);
}

void RenderEntity(const QJsonObject& entity, QStringList& lines, int depth) {
    if (depth > MaxEntityDepth) return;
    QJsonArray properties;
    const QJsonArray vcard = entity.value("vcardArray").toArray();
    if (vcard.size() >= 2 && vcard[1].isArray()) properties = vcard[1].toArray();
    QStringList roles;
    for (const QJsonValue& r : entity.value("roles").toArray())
        if (r.isString()) roles << r.toString();
    if (roles.isEmpty()) roles << QString();
    for (const QString& role : roles) {
        if (role.compare("registrar", Qt::CaseInsensitive) == 0) {
            const QString fn = VcardText(properties, "fn");
            if (Shown(fn)) lines << "Registrar: " + fn;
            for (const QJsonValue& id : entity.value("publicIds").toArray()) {
                const QJsonObject o = id.toObject();
                if (String(o, "type").compare("IANA Registrar ID", Qt::CaseInsensitive) == 0)
                    Add(lines, "Registrar IANA ID", o.value("identifier"));
            }
            continue;
        }
        const QString label = RoleLabel(role);
        const std::pair<const char*, const char*> fields[] = {{"fn", "Name"},
                                                              {"org", "Organization"},
                                                              {"email", "E-Mail"},
                                                              {"tel", "Phone"},
                                                              {"adr", "Address"}};
        for (const auto& [property, caption] : fields) {
            const QString value = VcardText(properties, property);
            if (Shown(value)) lines << label + " " + caption + ": " + value;
        }
    }
    for (const QJsonValue& nested : entity.value("entities").toArray())
        if (nested.isObject()) RenderEntity(nested.toObject(), lines, depth + 1);
}

void RenderNotices(const QJsonObject& o, const char* key, QStringList& lines) {
    for (const QJsonValue& n : o.value(QLatin1String(key)).toArray()) {
        const QJsonObject notice = n.toObject();
        QStringList text;
        for (const QJsonValue& d : notice.value("description").toArray())
            if (d.isString()) text << d.toString();
        const QString title = String(notice, "title");
        if (title.isEmpty() && text.isEmpty()) continue;
        lines << QString();
        if (!title.isEmpty()) lines << title;
        lines << text;
    }
}

void RenderDomain(const QJsonObject& o, QStringList& lines) {
    Add(lines, "Domain Name", o.value("ldhName"));
    const QString unicode = String(o, "unicodeName");
    if (Shown(unicode) && unicode.compare(String(o, "ldhName"), Qt::CaseInsensitive) != 0)
        lines << "Unicode Name: " + unicode;
    Add(lines, "Handle", o.value("handle"));
    for (const QJsonValue& s : o.value("status").toArray())
        Add(lines, "Status", s);
    const std::pair<const char*, const char*> events[] = {{"registration", "Registered"},
                                                          {"expiration", "Expires"},
                                                          {"last changed", "Last changed"}};
    for (const auto& [action, caption] : events)
        for (const QJsonValue& e : o.value("events").toArray()) {
            const QJsonObject event = e.toObject();
            if (String(event, "eventAction").compare(action, Qt::CaseInsensitive) == 0) {
                Add(lines, caption, event.value("eventDate"));
                break;
            }
        }
    for (const QJsonValue& ns : o.value("nameservers").toArray())
        Add(lines, "Name Server", ns.toObject().value("ldhName"));
    const QJsonValue signedDelegation = o.value("secureDNS").toObject().value("delegationSigned");
    if (signedDelegation.isBool())
        lines << QString("DNSSEC: ") + (signedDelegation.toBool() ? "signed" : "unsigned");
}

void RenderNetwork(const QJsonObject& o, QStringList& lines) {
    const QString start = String(o, "startAddress"), end = String(o, "endAddress");
    if (!start.isEmpty()) lines << "Network: " + start + (end.isEmpty() ? QString() : " - " + end);
    Add(lines, "Name", o.value("name"));
    Add(lines, "Handle", o.value("handle"));
    Add(lines, "Type", o.value("type"));
    Add(lines, "Country", o.value("country"));
}

void RenderAutnum(const QJsonObject& o, QStringList& lines) {
    const QString start = Number(o, "startAutnum"), end = Number(o, "endAutnum");
    if (!start.isEmpty())
        lines << "AS Number: " + start + (end.isEmpty() || end == start ? QString() : " - " + end);
    Add(lines, "Name", o.value("name"));
    Add(lines, "Type", o.value("type"));
    Add(lines, "Country", o.value("country"));
}
} // namespace

namespace {
// The server's text put to lines the tab can show as they are: a line break inside a value starts
// an indented continuation line (so that no value can pass for a line of its own, "Registrar:
// ..." say), and other control characters become blanks.
QStringList OneLineEach(const QStringList& rendered) {
    QStringList lines;
    for (const QString& line : rendered) {
        QString text = line;
        text.replace("\r\n", "\n").replace('\r', '\n');
        const QStringList parts = text.split('\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            QString part = parts[i];
            for (QChar& c : part)
                if (c.category() == QChar::Other_Control) c = ' ';
            lines << (i == 0 ? part : "  " + part);
        }
    }
    return lines;
}
} // namespace

QStringList RenderRdap(const QJsonObject& answer) {
    QStringList lines;
    const QString kind = String(answer, "objectClassName").toLower();
    if (kind == "ip network")
        RenderNetwork(answer, lines);
    else if (kind == "autnum")
        RenderAutnum(answer, lines);
    else
        RenderDomain(answer, lines);
    for (const QJsonValue& entity : answer.value("entities").toArray())
        if (entity.isObject()) RenderEntity(entity.toObject(), lines, 1);
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
