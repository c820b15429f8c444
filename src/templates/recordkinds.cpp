#include "templates/recordkinds.h"

#include "templates/kindfields.h"
#include "templates/kindstorekeys.h"
#include "templates/templatelines.h"

#include <cstddef>

namespace {
std::vector<RequiredItem> DomainRequiredItems() {
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

RecordKindInfo Domain() {
    std::vector<FieldInfo> fields = DomainFields();
    return {
        .kind = RecordKind::Domain,
        .word = "domain",
        .folder = "domains",
        .nameListFile = "domains.cbx",
        .sortedNameList = false,
        .nameBox = "DomainNameEdit",
        .nameIsHostName = true,
        .hasPublicFlag = false,
        .actionRadios = {"NewDomainRadio", "ModifyDomainRadio", "DeleteDomainRadio"},
        .authorizationField = "AuthScheme",
        .subjectWords = " Internic DOMAIN Registration",
        .emptyNameMessage = "You did not enter a domain name on the TYPE tab.",
        .storeSection = "DomainReg",
        .fields = fields,
        .requiredItems = DomainRequiredItems(),
        .clearAllFields = DomainClearAllFields(fields),
        .actionOpenings = {},
        .defaultsKeys = DomainDefaultsKeys(),
        .recordFileKeys = DomainRecordFileKeys(fields),
        .formLines = DomainFormLines,
    };
}

RecordKindInfo Host() {
    return {
        .kind = RecordKind::Host,
        .word = "host",
        .folder = "hosts",
        .nameListFile = "hosts.cbx",
        .sortedNameList = false,
        .nameBox = "HostName",
        .nameIsHostName = true,
        .hasPublicFlag = false,
        .actionRadios = {"NewHostRadio", "ModifyHostRadio", "DeleteHostRadio"},
        .authorizationField = "HostAuthScheme",
        .subjectWords = " Internic HOST Registration",
        .emptyNameMessage = "You did not enter a host name on the TYPE tab.",
        .storeSection = "HostReg",
        .fields = HostFields(),
        .requiredItems = {{"1c. IP Address", "HostIPAddress"}},
        .clearAllFields = HostClearAllFields(),
        .actionOpenings = {.closedByNew = {"HostNicHandle"},
                           .openedByModify = {"HostNicHandle"},
                           .closedByMailFrom = {}},
        .defaultsKeys = HostDefaultsKeys(),
        .recordFileKeys = HostRecordFileKeys(),
        .formLines = HostFormLines,
    };
}

RecordKindInfo Contact() {
    return {
        .kind = RecordKind::Contact,
        .word = "contact",
        .folder = "contacts",
        .nameListFile = "Contacts.cbx",
        .sortedNameList = true,
        .nameBox = "Contactname",
        .nameIsHostName = false,
        .hasPublicFlag = true,
        .actionRadios = {"NewContactRadio", "ModifyContactRadio", "DeleteContactRadio"},
        .authorizationField = "ContactAuthorizationType",
        .subjectWords = " Internic CONTACT Registration",
        .emptyNameMessage = "You did not enter a Contact Name on the Aithorization, Notify && "
                            "Authentication tab.",
        .storeSection = "ContactReg",
        .fields = ContactFields(),
        .requiredItems = {{"1e. Street Address", "ContactAddr"},
                          {"1f. City", "ContactCity"},
                          {"1i. Country Code", "ContactCountry"},
                          {"1j. Phone Number", "ContactPhone"},
                          {"1l. E-Mailbox", "ContactMail"}},
        .clearAllFields = ContactClearAllFields(),
        // The role field stays open on New, so New looks the same however it was reached; a
        // mail-checked contact has no password to give on Modify.
        .actionOpenings = {.closedByNew = {"ContactAuthorizationInfo", "ContactAuthorizationType",
                                           "ContactNicHandle"},
                           .openedByModify = {"ContactAuthorizationInfo",
                                              "ContactAuthorizationType", "ContactNicHandle",
                                              "ContactRole"},
                           .closedByMailFrom = "ContactAuthorizationInfo"},
        .defaultsKeys = ContactDefaultsKeys(),
        .recordFileKeys = ContactRecordFileKeys(),
        .formLines = ContactFormLines,
    };
}

// The one table, in the order of RecordKind (and of the window's pages).
const std::vector<RecordKindInfo>& Table() {
    static const std::vector<RecordKindInfo> table = {Domain(), Host(), Contact()};
    return table;
}
} // namespace

const RecordKindInfo& KindOf(RecordKind kind) {
    return Table().at(static_cast<std::size_t>(kind));
}

const std::vector<RecordKind>& RecordKinds() {
    static const std::vector<RecordKind> kinds = [] {
        std::vector<RecordKind> all;
        for (const RecordKindInfo& info : Table())
            all.push_back(info.kind);
        return all;
    }();
    return kinds;
}

// The record model's lookups by kind (declared in recordmodel.h) read the table.

const std::vector<FieldInfo>& RecordFields(RecordKind kind) {
    return KindOf(kind).fields;
}

const FieldInfo* FindField(const QString& control) {
    for (const RecordKindInfo& info : Table())
        for (const FieldInfo& f : info.fields)
            if (f.control == control) return &f;
    return nullptr;
}

QString KindWord(RecordKind kind) {
    return KindOf(kind).word;
}

QString NameBoxControl(RecordKind kind) {
    return KindOf(kind).nameBox;
}

QString KindFolderName(RecordKind kind) {
    return KindOf(kind).folder;
}

QString NameListFile(RecordKind kind) {
    return KindOf(kind).nameListFile;
}

QStringList ActionRadios(RecordKind kind) {
    return KindOf(kind).actionRadios;
}

Record EmptyRecord(RecordKind kind) {
    Record r;
    r.kind = kind;
    for (const FieldInfo& f : RecordFields(kind)) {
        r.text[f.control] = QString();
        if (f.type == FieldType::Selector) r.selected[f.control] = QString();
    }
    r.action = "N";
    r.publicFlag = KindOf(kind).hasPublicFlag ? "N" : QString();
    return r;
}
