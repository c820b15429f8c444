#include "objects/valuesyntax.h"

ValueFinding SyntaxError(const QString& value, const QString& what, const QString& why) {
    return ValueFinding{
        CheckVerdict::Error, "syntax", {"value", value, "what", what, "why", why}, {}};
}

ValueFinding RuleError(const QString& key, QStringList fields) {
    return ValueFinding{CheckVerdict::Error, key, std::move(fields), {}};
}

ValueFinding Warning(const QString& text) {
    return ValueFinding{CheckVerdict::Warning, {}, {}, text};
}

QStringList ListItems(const QString& value) {
    QStringList items = value.split(',');
    for (QString& item : items)
        item = item.trimmed();
    return items;
}
