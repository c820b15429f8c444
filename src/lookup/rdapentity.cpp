#include "lookup/rdapentity.h"

#include "lookup/rdapfields.h"

#include <QJsonArray>

namespace {
constexpr int MaxEntityDepth = 6;

// The parts of a vCard value flattened: a part may itself be a list.
void Flatten(const QJsonValue& value, QStringList& parts) {
    if (value.isArray())
        for (const QJsonValue& v : value.toArray())
            Flatten(v, parts);
    else if (value.isString() && ShownText(value.toString()))
        parts << value.toString().trimmed();
}

// The vCard properties of an entity ([name, params, type, value] each).
QJsonArray Properties(const QJsonObject& entity) {
    const QJsonArray vcard = entity.value("vcardArray").toArray();
    return vcard.size() >= 2 && vcard[1].isArray() ? vcard[1].toArray() : QJsonArray();
}

bool IsProperty(const QJsonArray& property, const char* name) {
    return property.size() >= 4 &&
           property[0].toString().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QString ValueText(const QJsonArray& property) {
    QStringList parts;
    Flatten(property[3], parts);
    return parts.join(", ");
}

// Every text value of the vCard properties of a name, in order.
QStringList VcardTexts(const QJsonArray& properties, const char* name) {
    QStringList values;
    for (const QJsonValue& p : properties) {
        const QJsonArray property = p.toArray();
        if (!IsProperty(property, name)) continue;
        if (const QString value = ValueText(property); ShownText(value)) values << value;
    }
    return values;
}

// Every telephone as "<caption>: number", the caption from the kinds its "type" names: "Fax",
// "Mobile" (cell) or "Phone"; the kinds and places that the caption does not say follow in
// parentheses ("Phone: +1.5555550100 (work, text)").
QStringList VcardTelephones(const QJsonArray& properties, const QString& role) {
    QStringList lines;
    for (const QJsonValue& p : properties) {
        const QJsonArray property = p.toArray();
        if (!IsProperty(property, "tel")) continue;
        QString number = ValueText(property);
        if (number.startsWith("tel:", Qt::CaseInsensitive)) number = number.mid(4);
        if (!ShownText(number)) continue;
        QStringList types;
        for (const QString& type : StringsOf(property[1].toObject().value("type")))
            for (const QString& one : type.split(',', Qt::SkipEmptyParts))
                if (const QString t = one.trimmed().toLower(); !t.isEmpty() && !types.contains(t))
                    types << t;
        QString caption = "Phone", said = "voice";
        if (types.contains("fax") && !types.contains("voice")) {
            caption = "Fax";
            said = "fax";
        } else if (types.contains("cell")) {
            caption = "Mobile";
            said = "cell";
        }
        types.removeAll(said);
        lines << role + " " + caption + ": " + number +
                     (types.isEmpty() ? QString() : " (" + types.join(", ") + ")");
    }
    return lines;
}

// The postal address: its parts, with the country from the country part, else from the "cc"
// parameter, so that a region ("CA") is never taken for the country; the "label" parameter when
// the parts are empty.
QString VcardAddress(const QJsonArray& properties) {
    for (const QJsonValue& p : properties) {
        const QJsonArray property = p.toArray();
        if (!IsProperty(property, "adr")) continue;
        const QJsonObject params = property[1].toObject();
        const QJsonArray value = property[3].toArray();
        QStringList parts;
        for (int i = 0; i < 6 && i < value.size(); ++i)
            Flatten(value[i], parts);
        QStringList country;
        if (value.size() > 6) Flatten(value[6], country);
        const QString cc = StringMember(params, "cc");
        if (country.isEmpty() && ShownText(cc)) country << cc;
        if (parts.isEmpty()) {
            QStringList label;
            for (QString line : StringMember(params, "label").split('\n')) {
                line = line.trimmed();
                if (ShownText(line)) label << line;
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

// The entity's remarks: "<Role> Remark: title", the description and links on indented lines.
void AddRemarks(const QJsonObject& entity, const QString& label, QStringList& lines) {
    for (const QJsonValue& r : entity.value("remarks").toArray()) {
        const QJsonObject remark = r.toObject();
        QStringList text = DescriptionLines(remark);
        const QStringList links = NoticeLinks(remark);
        QString title = StringMember(remark, "title").trimmed();
        if (title.isEmpty() && !text.isEmpty()) title = text.takeFirst();
        if (title.isEmpty() && links.isEmpty()) continue;
        lines << label + " Remark: " + title;
        for (const QString& line : text)
            lines << "  " + line;
        lines << links;
    }
}
} // namespace

void RenderEntity(const QJsonObject& entity, QStringList& lines, int depth, bool ownHandle) {
    if (depth > MaxEntityDepth) return;
    const QJsonArray properties = Properties(entity);
    QStringList roles = StringsOf(entity.value("roles"));
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
                if (StringMember(o, "type").compare("IANA Registrar ID", Qt::CaseInsensitive) == 0)
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
        if (ownHandle) AddField(lines, label + " Handle", entity.value("handle"));
        AddPublicIds(entity, label + " ", lines, registrar ? "IANA Registrar ID" : QString());
        for (const QString& mail : VcardTexts(properties, "email"))
            lines << label + " E-Mail: " + mail;
        lines << VcardTelephones(properties, label);
        for (const QString& form : VcardTexts(properties, "contact-uri"))
            lines << label + " Contact: " + form;
        for (const QString& url : VcardTexts(properties, "url"))
            lines << label + " URL: " + url;
        const QString address = VcardAddress(properties);
        if (!address.isEmpty()) lines << label + " Address: " + address;
    }
    // Dates and remarks are the entity's, not a role's: once, under its first role.
    AddEvents(entity, RoleLabel(roles.front()) + " ", lines);
    AddRemarks(entity, RoleLabel(roles.front()), lines);
    for (const QJsonValue& nested : entity.value("entities").toArray())
        if (nested.isObject()) RenderEntity(nested.toObject(), lines, depth + 1);
}
