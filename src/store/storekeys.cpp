#include "store/storekeys.h"

namespace {
StoreKey F(const QString& key, const QString& field, bool readBack = true) {
    return {key, field, StoreKey::Field, readBack};
}
StoreKey Same(const QString& name) {
    return F(name, name);
}

std::vector<StoreKey> DomainDefaults() {
    std::vector<StoreKey> k = {
        F("Name", "DomainNameEdit", false),
        F("AuthInfo", "AuthInfoEdit"),
        F("AuthScheme", "AuthScheme"),
        F("Purpose", "PurposeEdit"),
        F("OrgName", "OOrgNameEdit"),
        F("OAddr", "OAddrEdit"),
        F("OCity", "OCityEdit"),
        F("OState", "OStateEdit"),
        F("OZip", "OZipEdit"),
        F("OCountry", "OCountryEdit"),
    };
    // The three contact blocks, each whole; only the organization key differs between them.
    const char* stems[] = {"Handle", "Role", "Name",    "Org",   "Addr", "City",
                           "State",  "Zip",  "Country", "Phone", "Fax",  "Mail"};
    for (QString block : {"A", "T", "B"}) {
        for (QString stem : stems) {
            QString key = block + stem;
            if (stem == "Org") key = block == "A" ? "AAOrg" : block == "T" ? "TAOrg" : "BOrg";
            k.push_back(F(key, block + stem + "Edit"));
        }
    }
    const char* servers[][2] = {{"PriNS", "PriNSEdit"},       {"PriNSIP", "PriNSIPEdit"},
                                {"SecNS", "SecNSEdit"},       {"SecNSIP", "SecNSIPEdit"},
                                {"ThirdNS", "ThirdNSEdit"},   {"ThirdNSIP", "ThirdNSIPEdit"},
                                {"FourthNS", "fourthnsedit"}, {"FourthNSIP", "fourthnsipedit"}};
    for (auto& s : servers)
        k.push_back(F(s[0], s[1]));
    return k;
}

const char* const hostContactFields[] = {"HCNicHandle", "HCRole",  "HCName",  "HCOrg",
                                         "HCAddr",      "HCCity",  "HCState", "HCZip",
                                         "HCCountry",   "HCPhone", "HCFax",   "HCMail"};

std::vector<StoreKey> HostDefaults() {
    std::vector<StoreKey> k = {
        F("HostAuthScheme", "HostAuthScheme"),      F("AuthInfo", "HostAuthInfo"),
        F("HostHandle", "HostNicHandle", false),    F("HostName", "HostName", false),
        F("HostIPAddress", "HostIPAddress", false),
    };
    for (const char* f : hostContactFields)
        k.push_back(Same(f));
    return k;
}

const char* const contactAddressFields[] = {"ContactOrgName", "ContactAddr", "ContactCity",
                                            "ContactState",   "ContactZip",  "ContactCountry",
                                            "ContactPhone",   "ContactFax",  "ContactMail"};

std::vector<StoreKey> ContactDefaults() {
    std::vector<StoreKey> k = {
        Same("ContactNotifyUpdates"),
        Same("ContactNotifyUse"),
        Same("ContactAuthorizationType"),
        Same("ContactAuthorizationInfo"),
        Same("ContactAuthenticationType"),
        Same("ContactAuthenticationInfo"),
        F("ContactNicHandle", "ContactNicHandle", false),
        F("ContactRole", "ContactRole", false),
        Same("Contactname"),
    };
    for (const char* f : contactAddressFields)
        k.push_back(Same(f));
    return k;
}

std::vector<StoreKey> DomainRecord() {
    std::vector<StoreKey> k;
    // Every field of the domain record except its name, which is the file's name.
    for (const FieldInfo& f : RecordFields(RecordKind::Domain))
        if (f.type != FieldType::NameBox) k.push_back(Same(f.control));
    return k;
}

std::vector<StoreKey> HostRecord() {
    std::vector<StoreKey> k = {
        {"HostType", {}, StoreKey::Action, false},
        Same("HostNicHandle"),
        Same("HostAuthScheme"),
        Same("HostAuthInfo"),
        Same("HostIPAddress"),
    };
    for (const char* f : hostContactFields)
        k.push_back(Same(f));
    return k;
}

std::vector<StoreKey> ContactRecord() {
    std::vector<StoreKey> k = {
        {"ContactType", {}, StoreKey::Action, false},
        F("NotifyUp", "ContactNotifyUpdates"),
        F("NotifyUse", "ContactNotifyUse"),
        Same("ContactAuthenticationType"),
        {"Public", {}, StoreKey::Public, true},
        Same("ContactAuthorizationType"),
        Same("ContactAuthorizationInfo"),
        Same("ContactAuthenticationInfo"),
        Same("ContactNicHandle"),
        Same("ContactRole"),
        Same("Contactname"),
    };
    for (const char* f : contactAddressFields)
        k.push_back(Same(f));
    return k;
}
} // namespace

QString StoreSection(RecordKind kind) {
    switch (kind) {
    case RecordKind::Domain:
        return "DomainReg";
    case RecordKind::Host:
        return "HostReg";
    case RecordKind::Contact:
        break;
    }
    return "ContactReg";
}

const std::vector<StoreKey>& DefaultsKeys(RecordKind kind) {
    static const std::vector<StoreKey> domain = DomainDefaults(), host = HostDefaults(),
                                       contact = ContactDefaults();
    return kind == RecordKind::Domain ? domain : kind == RecordKind::Host ? host : contact;
}

const std::vector<StoreKey>& RecordFileKeys(RecordKind kind) {
    static const std::vector<StoreKey> domain = DomainRecord(), host = HostRecord(),
                                       contact = ContactRecord();
    return kind == RecordKind::Domain ? domain : kind == RecordKind::Host ? host : contact;
}
