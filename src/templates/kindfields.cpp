#include "templates/kindfields.h"

namespace {
FieldInfo Text(const char* c, const char* label, const char* line, int limit = 0) {
    return {c, label, line, limit, FieldType::Text};
}
FieldInfo Sel(const char* c, const char* label, const char* line) {
    return {c, label, line, 0, FieldType::Selector};
}

// The twelve fields of a contact block of the domain record: block letter + stem + "Edit".
void AddContactBlock(std::vector<FieldInfo>& f, const QString& block, const QString& lineNo) {
    struct Stem {
        const char* stem;
        const char* label;
        char letter;
        int limit;
    };
    static const Stem stems[] = {
        {"Handle", "Nic Handle", 'a', 0},
        {"Role", "(I)ndividual or (R)ole", 'b', 1},
        {"Name", "Name", 'c', 0},
        {"Org", "Organization Name", 'd', 0},
        {"Addr", "Street Address", 'e', 0},
        {"City", "City", 'f', 0},
        {"State", "State / Province", 'g', 0},
        {"Zip", "Postal Code", 'h', 0},
        {"Country", "Country", 'i', 2},
        {"Phone", "Phone", 'j', 0},
        {"Fax", "Fax", 'k', 0},
        {"Mail", "E-Mail", 'l', 0},
    };
    for (const Stem& s : stems)
        f.push_back(
            {block + s.stem + "Edit", s.label, lineNo + QChar(s.letter), s.limit, FieldType::Text});
}

} // namespace

std::vector<FieldInfo> DomainFields() {
    std::vector<FieldInfo> f = {
        Sel("AuthScheme", "Authorization Scheme", "0b"),
        Text("AuthInfoEdit", "Authorization Info", "0c"),
        {"PurposeEdit", "Purpose of Domain", "1", 0, FieldType::Memo},
        {"DomainNameEdit", "Domain Name", "2", 0, FieldType::NameBox},
        Text("OOrgNameEdit", "Organization Name", "3a"),
        Text("OAddrEdit", "Street Address", "3b"),
        Text("OCityEdit", "City", "3c"),
        Text("OStateEdit", "State / Province", "3d"),
        Text("OZipEdit", "Postal Code", "3e"),
        Text("OCountryEdit", "Country", "3f", 2),
    };
    AddContactBlock(f, "A", "4");
    AddContactBlock(f, "T", "5");
    AddContactBlock(f, "B", "6");
    const FieldInfo servers[] = {
        Text("PriNSEdit", "Primary Nameserver:", "7a"),
        Text("PriNSIPEdit", "PrimaryIP Address:", "7b", 15),
        Text("SecNSEdit", "Secondary Nameserver:", "8a"),
        Text("SecNSIPEdit", "Secondary IP Address:", "8b", 15),
        Text("ThirdNSEdit", "Additional Nameserver:", "8a"),
        Text("ThirdNSIPEdit", "Additional IP Address:", "8b", 15),
        Text("fourthnsedit", "Additional Nameserver:", "8a"),
        Text("fourthnsipedit", "Additional IP Address:", "8b", 15),
    };
    f.insert(f.end(), std::begin(servers), std::end(servers));
    return f;
}

std::vector<FieldInfo> HostFields() {
    return {
        Sel("HostAuthScheme", "Authorization Type", "0b"),
        Text("HostAuthInfo", "Authorization Info", "0c"),
        Text("HostNicHandle", "Host NIC Handle (If Known)", "1a"),
        {"HostName", "Host Name", "1b", 0, FieldType::NameBox},
        Text("HostIPAddress", "Host IP Address", "1c"),
        Text("HCNicHandle", "Nic Handle (If Known)", "2a"),
        Text("HCRole", "(I)ndividual or (R)ole", "2b"),
        Text("HCName", "Name", "2c"),
        Text("HCOrg", "Organization Name", "2d"),
        Text("HCAddr", "Street Address", "2e"),
        Text("HCCity", "City", "2f"),
        Text("HCState", "State / Province", "2g"),
        Text("HCZip", "Postal Code", "2h"),
        Text("HCCountry", "Country", "2i", 2),
        Text("HCPhone", "Phone", "2j"),
        Text("HCFax", "Fax", "2k"),
        Text("HCMail", "E-Mail", "2l"),
    };
}

std::vector<FieldInfo> ContactFields() {
    return {
        Sel("ContactAuthorizationType", "Authorization Type", "0b"),
        Text("ContactAuthorizationInfo", "Authorization Info", "0c"),
        Sel("ContactNotifyUpdates", "Notify Updates", "2a"),
        Sel("ContactNotifyUse", "Notify Use", "2b"),
        Sel("ContactAuthenticationType", "Authorization Type", "3a"),
        Text("ContactAuthenticationInfo", "E-Mail Address", "3b"),
        {"Contactname", "ContactName", "1c", 0, FieldType::NameBox},
        Text("ContactNicHandle", "Nic Handle", "1a"),
        Text("ContactRole", "(I)ndividual or (R)ole", "1b"),
        Text("ContactOrgName", "Organization Name", "1d"),
        Text("ContactAddr", "Street Address", "1e"),
        Text("ContactCity", "City", "1f"),
        Text("ContactState", "State / Province", "1g"),
        Text("ContactZip", "Postal Code", "1h"),
        Text("ContactCountry", "Country", "1i"),
        Text("ContactPhone", "Phone", "1j"),
        Text("ContactFax", "Fax", "1k"),
        Text("ContactMail", "E-Mail", "1l"),
    };
}

QStringList DomainClearAllFields(const std::vector<FieldInfo>& fields) {
    // The address blocks and the name servers in window order, then the type tab's fields.
    const QStringList typeTab{"PurposeEdit", "AuthInfoEdit", "AuthScheme", "DomainNameEdit"};
    QStringList order;
    for (const FieldInfo& f : fields)
        if (!typeTab.contains(f.control)) order << f.control;
    return order + typeTab;
}

QStringList HostClearAllFields() {
    return {"HostName",    "HostNicHandle", "HostAuthScheme", "HostAuthInfo", "HostIPAddress",
            "HCNicHandle", "HCRole",        "HCName",         "HCOrg",        "HCAddr",
            "HCCity",      "HCState",       "HCZip",          "HCCountry",    "HCPhone",
            "HCFax",       "HCMail"};
}

QStringList ContactClearAllFields() {
    return {"Contactname",
            "ContactAuthorizationType",
            "ContactAuthorizationInfo",
            "ContactNotifyUpdates",
            "ContactNotifyUse",
            "ContactAuthenticationType",
            "ContactAuthenticationInfo",
            "ContactNicHandle",
            "ContactRole",
            "ContactOrgName",
            "ContactAddr",
            "ContactCity",
            "ContactState",
            "ContactZip",
            "ContactCountry",
            "ContactPhone",
            "ContactFax",
            "ContactMail"};
}
