#include "templates/kindstorekeys.h"

namespace {
StoreKey F(const QString& key, const QString& field, bool readBack = true) {
    return {key, field, StoreKey::Field, readBack};
}
StoreKey Same(const QString& name) {
    return F(name, name);
}

const char* const hostContactFields[] = {"HCNicHandle", "HCRole",  "HCName",  "HCOrg",
                                         "HCAddr",      "HCCity",  "HCState", "HCZip",
                                         "HCCountry",   "HCPhone", "HCFax",   "HCMail"};

const char* const contactAddressFields[] = {"ContactOrgName", "ContactAddr", "ContactCity",
                                            "ContactState",   "ContactZip",  "ContactCountry",
                                            "ContactPhone",   "ContactFax",  "ContactMail"};
} // namespace

std::vector<StoreKey> DomainDefaultsKeys() {
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

std::vector<StoreKey> HostDefaultsKeys() {
    std::vector<StoreKey> k = {
        F("HostAuthScheme", "HostAuthScheme"),      F("AuthInfo", "HostAuthInfo"),
        F("HostHandle", "HostNicHandle", false),    F("HostName", "HostName", false),
        F("HostIPAddress", "HostIPAddress", false),
    };
    for (const char* f : hostContactFields)
        k.push_back(Same(f));
    return k;
}

std::vector<StoreKey> ContactDefaultsKeys() {
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

std::vector<StoreKey> DomainRecordFileKeys(const std::vector<FieldInfo>& fields) {
    std::vector<StoreKey> k;
    // Every field of the domain record except its name, which is the file's name.
    for (const FieldInfo& f : fields)
        if (f.type != FieldType::NameBox) k.push_back(Same(f.control));
    return k;
}

std::vector<StoreKey> HostRecordFileKeys() {
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

std::vector<StoreKey> ContactRecordFileKeys() {
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
