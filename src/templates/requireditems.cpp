#include "templates/requireditems.h"

std::vector<RequiredItem> RequiredItems(RecordKind kind, const QString& action) {
    if (action != "N") return {};
    return KindOf(kind).requiredItems;
}

QStringList EmptyRequiredItems(const Record& record) {
    QStringList empty;
    for (const RequiredItem& required : RequiredItems(record.kind, record.action))
        if (record.Text(required.control).trimmed().isEmpty()) empty << required.item;
    return empty;
}

QString EmptyRequiredNote(const QStringList& items) {
    const bool one = items.size() == 1;
    return QString(one ? "This required item is" : "These required items are") +
           " empty; the registry refuses a new registration without " + (one ? "it" : "them") +
           ":\n" + items.join('\n');
}
