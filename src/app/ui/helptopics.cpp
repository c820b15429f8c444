#include "app/ui/helptopics.h"

#include <QHash>
#include <QVariant>
#include <QWidget>

namespace {
const char* kTopicProperty = "HelpContext";

QHash<QString, int> BuildTable() {
    const QStringList blocks{"A", "T", "B"};
    auto perBlock = [&](const QString& stem) {
        QStringList names;
        for (const QString& b : blocks)
            names << b + stem + "Edit";
        return names;
    };
    const std::pair<int, QStringList> topics[] = {
        {1000,
         {"AuthScheme", "AuthInfoEdit", "HostAuthScheme", "HostAuthInfo",
          "ContactAuthorizationType", "ContactAuthorizationInfo", "ContactAuthenticationType",
          "ContactAuthenticationInfo"}},
        {1002, perBlock("City") + perBlock("State") + perBlock("Zip") +
                   QStringList{"OCityEdit", "OStateEdit", "OZipEdit", "HCCity", "HCState", "HCZip",
                               "ContactCity", "ContactState", "ContactZip"}},
        {1003, perBlock("Addr") + QStringList{"HCAddr", "ContactAddr"}},
        {1004, perBlock("Mail") + QStringList{"HCMail", "ContactMail"}},
        {1005, perBlock("Fax") + QStringList{"HCFax", "ContactFax"}},
        {1006, perBlock("Name") + QStringList{"HCName", "Contactname"}},
        {1007, perBlock("Handle") + QStringList{"HCNicHandle", "ContactNicHandle"}},
        {1008, perBlock("Org") + QStringList{"HCOrg", "ContactOrgName"}},
        {1009, perBlock("Phone") + QStringList{"HCPhone", "ContactPhone"}},
        {1012, perBlock("Country") + QStringList{"OCountryEdit", "HCCountry", "ContactCountry"}},
        {1014, {"DomainNameEdit"}},
        {1015, {"HostIPAddress"}},
        {1016, {"HostName"}},
        {1017, {"HostNicHandle"}},
        {1019, {"PriNSEdit", "SecNSEdit", "ThirdNSEdit", "fourthnsedit"}},
        {1020, {"PriNSIPEdit", "SecNSIPEdit", "ThirdNSIPEdit", "fourthnsipedit"}},
        {1021,
         {"NewDomainRadio", "ModifyDomainRadio", "DeleteDomainRadio", "NewHostRadio",
          "ModifyHostRadio", "DeleteHostRadio", "NewContactRadio", "ModifyContactRadio",
          "DeleteContactRadio"}},
        {1022, {"ContactNotifyUpdates"}},
        {1023, {"ContactNotifyUse"}},
        {1024, {"OAddrEdit"}},
        {1025, {"OOrgNameEdit"}},
        {1026, {"PublicYesRadio", "PublicNoRadio"}},
        {1027, {"PurposeEdit"}},
        {1028, perBlock("Role") + QStringList{"HCRole", "ContactRole"}},
        // The controls added beside the described ones.
        {CryptHelpTopic,
         {"MakeCryptButton", "HostMakeCryptButton", "ContactMakeCryptButton",
          "ContactAuthMakeCryptButton"}},
        {NameServerCheckHelpTopic, {"CheckNSButton", "CheckBeforeMailBox"}},
        {BeforeMailingHelpTopic, {"SetupBar", "SetupBarText", "SetupBarButton"}},
        // Clear and Clear All: what Ctrl+Z puts back.
        {ClearUndoHelpTopic,
         {"BitBtn2", "HostCancel", "ContactClear", "O8", "A8", "T8", "BitBtn33", "BitBtn3"}},
    };
    QHash<QString, int> table;
    for (const auto& [topic, names] : topics)
        for (const QString& name : names)
            table.insert(name, topic);
    return table;
}

const QHash<QString, int>& Table() {
    static const QHash<QString, int> table = BuildTable();
    return table;
}
} // namespace

int MainWindowHelpTopic(const QString& controlName) {
    return Table().value(controlName, 0);
}

void AssignMainWindowHelpTopics(QWidget* root) {
    for (QWidget* w : root->findChildren<QWidget*>())
        if (int topic = MainWindowHelpTopic(w->objectName())) SetHelpTopic(w, topic);
}

void SetHelpTopic(QWidget* control, int topic) {
    control->setProperty(kTopicProperty, topic);
}

int HelpTopicFor(const QWidget* control) {
    // The search ends at the control's window: a dialog does not inherit its owner's topic.
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        if (int topic = w->property(kTopicProperty).toInt()) return topic;
        if (w->isWindow()) break;
    }
    return 0;
}
