#include "lookup/rdapfields.h"

#include <QJsonArray>

bool ShownText(const QString& value) {
    const QString t = value.trimmed();
    return !t.isEmpty() && !t.contains("REDACTED", Qt::CaseInsensitive);
}

QString StringMember(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString();
}

QString TextOf(const QJsonValue& value) {
    if (value.isString()) return value.toString();
    if (value.isDouble()) return QString::number(qint64(value.toDouble()));
    return QString();
}

QStringList StringsOf(const QJsonValue& value) {
    QStringList texts;
    if (value.isString()) texts << value.toString();
    for (const QJsonValue& v : value.toArray())
        if (v.isString()) texts << v.toString();
    return texts;
}

void AddField(QStringList& lines, const QString& label, const QJsonValue& value) {
    if (value.isString() && ShownText(value.toString())) lines << label + ": " + value.toString();
}

void AddNumberOrText(QStringList& lines, const QString& label, const QJsonValue& value) {
    const QString text = TextOf(value);
    if (ShownText(text)) lines << label + ": " + text;
}

void AddEvents(const QJsonObject& o, const QString& prefix, QStringList& lines) {
    static const char* const known[][2] = {{"registration", "Registered"},
                                           {"expiration", "Expires"},
                                           {"registrar expiration", "Registrar Expires"},
                                           {"transfer", "Transferred"},
                                           {"last changed", "Last changed"}};
    const QJsonArray events = o.value("events").toArray();
    auto action = [](const QJsonValue& e) { return StringMember(e.toObject(), "eventAction"); };
    for (const auto& [name, label] : known)
        for (const QJsonValue& e : events)
            if (action(e).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                AddField(lines, prefix + label, e.toObject().value("eventDate"));
    for (const QJsonValue& e : events) {
        const QString own = action(e).trimmed();
        bool isKnown = false;
        for (const auto& [name, label] : known)
            isKnown |= own.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
        if (isKnown || !ShownText(own)) continue;
        AddField(lines, prefix + own.left(1).toUpper() + own.mid(1),
                 e.toObject().value("eventDate"));
    }
}

void AddPublicIds(const QJsonObject& o, const QString& prefix, QStringList& lines,
                  const QString& skippedType) {
    for (const QJsonValue& id : o.value("publicIds").toArray()) {
        const QJsonObject publicId = id.toObject();
        const QString type = StringMember(publicId, "type").trimmed();
        const QString identifier = TextOf(publicId.value("identifier"));
        if (!ShownText(identifier)) continue;
        if (!skippedType.isEmpty() && type.compare(skippedType, Qt::CaseInsensitive) == 0) continue;
        lines << prefix + "Public ID: " + identifier +
                     (ShownText(type) ? " (" + type + ")" : QString());
    }
}

QStringList DescriptionLines(const QJsonObject& notice) {
    QStringList lines = StringsOf(notice.value("description"));
    for (QString& line : lines)
        while (line.endsWith('\r') || line.endsWith('\n'))
            line.chop(1);
    return lines;
}

QStringList NoticeLinks(const QJsonObject& notice) {
    QStringList links;
    for (const QJsonValue& l : notice.value("links").toArray())
        if (const QString href = StringMember(l.toObject(), "href"); !href.isEmpty())
            links << "  " + href;
    return links;
}
