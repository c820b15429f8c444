#include "editing/clearall.h"

#include "editing/blockcopy.h"

QStringList ClearAllFields(RecordKind kind) {
    switch (kind) {
    case RecordKind::Domain: {
        QStringList fields;
        for (Block b : {Block::Org, Block::Admin, Block::Technical, Block::Billing})
            fields << BlockFields(b);
        fields << NameServerFields();
        fields << QStringList{"PurposeEdit", "AuthInfoEdit", "AuthScheme", "DomainNameEdit"};
        return fields;
    }
    case RecordKind::Host:
        return {"HostName",    "HostNicHandle", "HostAuthScheme", "HostAuthInfo", "HostIPAddress",
                "HCNicHandle", "HCRole",        "HCName",         "HCOrg",        "HCAddr",
                "HCCity",      "HCState",       "HCZip",          "HCCountry",    "HCPhone",
                "HCFax",       "HCMail"};
    case RecordKind::Contact:
        break;
    }
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
