#include "templates/requireditems.h"

namespace {
std::vector<RequiredItem> DomainItems() {
    std::vector<RequiredItem> items{{"3a. Organization Name", "OOrgNameEdit"},
                                    {"3b. Street Address", "OAddrEdit"},
                                    {"3c. City", "OCityEdit"},
                                    {"3f. Country Code", "OCountryEdit"}};
    // The administrative, technical and billing contacts: each must be named and reachable.
    const char* const contacts[][2] = {{"4", "A"}, {"5", "T"}, {"6", "B"}};
    for (const auto& [number, letter] : contacts) {
        items.push_back({QString(number) + "c. Name", QString(letter) + "NameEdit"});
        items.push_back({QString(number) + "l. E-Mailbox", QString(letter) + "MailEdit"});
    }
    items.push_back({"7a. Primary Server Hostname", "PriNSEdit"});
    items.push_back({"7b. Primary Server Netaddress", "PriNSIPEdit"});
    items.push_back({"8a. Secondary Server Hostname", "SecNSEdit"});
    items.push_back({"8b. Secondary Server Netaddress", "SecNSIPEdit"});
    return items;
}
} // namespace

std::vector<RequiredItem> RequiredItems(RecordKind kind, const QString& action) {
    if (action != "N") return {};
    switch (kind) {
    case RecordKind::Domain:
        return DomainItems();
    case RecordKind::Host:
        return {{"1c. IP Address", "HostIPAddress"}};
    case RecordKind::Contact:
        break;
    }
    return {{"1e. Street Address", "ContactAddr"},
            {"1f. City", "ContactCity"},
            {"1i. Country Code", "ContactCountry"},
            {"1j. Phone Number", "ContactPhone"},
            {"1l. E-Mailbox", "ContactMail"}};
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
