#include "objects/rpslobject.h"

namespace {
constexpr int kValueColumn = 16;

bool IsContinuation(QStringView line) {
    return !line.isEmpty() && (line[0] == ' ' || line[0] == '\t' || line[0] == '+');
}

bool IsAttributeName(QStringView name) {
    if (name.isEmpty()) return false;
    for (QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != '-' && c != '_') return false;
    return true;
}

// One line of the value cut at its comment.
QStringView WithoutComment(QStringView line) {
    const qsizetype hash = line.indexOf('#');
    return hash < 0 ? line : line.left(hash);
}
} // namespace

QString RpslAttribute::Clean() const {
    if (!value.contains('#') && !value.contains('\n') && !value.contains("  ") &&
        !value.contains('\t'))
        return value.trimmed();
    QString joined;
    for (QStringView line : QStringView(value).split('\n')) {
        joined += WithoutComment(line);
        joined += ' ';
    }
    return joined.simplified();
}

QStringList RpslAttribute::Comments() const {
    QStringList comments;
    for (QStringView line : QStringView(value).split('\n')) {
        const qsizetype hash = line.indexOf('#');
        if (hash >= 0) comments << line.mid(hash + 1).trimmed().toString();
    }
    return comments;
}

const QString& RpslObject::ClassName() const {
    static const QString none;
    return attributes.empty() ? none : attributes.front().name;
}

QString RpslObject::ClassValue() const {
    return attributes.empty() ? QString() : attributes.front().Clean();
}

bool RpslObject::Has(const QString& name) const {
    for (const RpslAttribute& a : attributes)
        if (a.name == name && !a.malformed) return true;
    return false;
}

std::vector<const RpslAttribute*> RpslObject::All(const QString& name) const {
    std::vector<const RpslAttribute*> found;
    for (const RpslAttribute& a : attributes)
        if (a.name == name && !a.malformed) found.push_back(&a);
    return found;
}

QString RpslObject::First(const QString& name) const {
    for (const RpslAttribute& a : attributes)
        if (a.name == name && !a.malformed) return a.Clean();
    return QString();
}

bool RpslObject::operator==(const RpslObject& other) const {
    if (attributes.size() != other.attributes.size()) return false;
    for (size_t i = 0; i < attributes.size(); ++i)
        if (attributes[i].name != other.attributes[i].name ||
            attributes[i].value != other.attributes[i].value)
            return false;
    return true;
}

std::vector<RpslObject> ParseObjects(const QString& text) {
    std::vector<RpslObject> objects;
    RpslObject current;
    auto finish = [&] {
        if (!current.attributes.empty()) objects.push_back(std::move(current));
        current = RpslObject();
    };
    const QStringView all(text);
    int number = 0;
    for (qsizetype start = 0; start <= all.size();) {
        // One line, without its CR LF, LF or lone CR.
        qsizetype end = start;
        while (end < all.size() && all[end] != '\n' && all[end] != '\r')
            ++end;
        const QStringView line = all.mid(start, end - start);
        start = end + (end + 1 < all.size() && all[end] == '\r' && all[end + 1] == '\n' ? 2 : 1);
        ++number;
        if (line.isEmpty()) {
            finish();
            continue;
        }
        if (IsContinuation(line)) {
            // Blanks before the first attribute are no object.
            if (current.attributes.empty()) continue;
            QString& value = current.attributes.back().value;
            value += '\n';
            value += line.mid(line[0] == '+' ? 1 : 0).trimmed();
            continue;
        }
        if (current.attributes.empty() && (line[0] == '%' || line[0] == '#')) continue;
        RpslAttribute attribute;
        attribute.line = number;
        const qsizetype colon = line.indexOf(':');
        const QStringView name = colon < 0 ? line : line.left(colon);
        if (colon < 0 || !IsAttributeName(name)) {
            // Without a colon the whole line stands as the value, with no name.
            attribute.name = colon < 0 ? QString() : name.toString();
            attribute.value = (colon < 0 ? line : line.mid(colon + 1)).trimmed().toString();
            attribute.malformed = true;
        } else {
            attribute.name = name.toString().toLower();
            attribute.value = line.mid(colon + 1).trimmed().toString();
        }
        current.attributes.push_back(std::move(attribute));
    }
    finish();
    return objects;
}

void AppendAttributeLines(const RpslAttribute& attribute, QStringList& lines) {
    if (attribute.malformed && attribute.name.isEmpty()) {
        lines << attribute.value.split('\n');
        return;
    }
    const QStringList values = attribute.value.split('\n');
    QString first = attribute.name + ':';
    if (!values.front().isEmpty())
        first = first.leftJustified(kValueColumn - 1, ' ') + ' ' + values.front().trimmed();
    lines << first;
    for (qsizetype i = 1; i < values.size(); ++i) {
        const QString rest = values[i].trimmed();
        lines << (rest.isEmpty() ? QStringLiteral("+") : QString(kValueColumn, ' ') + rest);
    }
}

QStringList ObjectLines(const RpslObject& object) {
    QStringList lines;
    for (const RpslAttribute& a : object.attributes)
        AppendAttributeLines(a, lines);
    return lines;
}

QString ObjectText(const RpslObject& object) {
    QString text;
    for (const QString& line : ObjectLines(object))
        text += line + '\n';
    return text;
}
