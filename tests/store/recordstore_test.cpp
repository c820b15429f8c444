// The defaults sections and record files: their key tables, their round trips and their files.
#include "store/inifile.h"
#include "store/recordstore.h"
#include "store/storekeys.h"
#include "support/tempdir.h"

#include "support/qstringprint.h"
#include <QDir>

#include <gtest/gtest.h>

namespace {
QStringList Keys(const std::vector<StoreKey>& keys) {
    QStringList names;
    for (const StoreKey& k : keys)
        names << k.key;
    return names;
}

// A record of the kind with every field set to a text naming its field.
Record Filled(RecordKind kind) {
    Record r = EmptyRecord(kind);
    for (const FieldInfo& f : RecordFields(kind))
        r.text[f.control] = "v-" + f.control;
    return r;
}

QStringList KeysInFile(const QString& file) {
    QStringList keys;
    for (const QByteArray& line : ReadAll(file).split('\n'))
        if (line.contains('=')) keys << QString::fromUtf8(line.left(line.indexOf('=')));
    return keys;
}
} // namespace

TEST(StoreKeys, RecordFilesListTheirKeysInTheWritersOrder) {
    EXPECT_EQ(Keys(RecordFileKeys(RecordKind::Domain)),
              QStringList(
                  {"AuthScheme",    "AuthInfoEdit", "PurposeEdit",   "OOrgNameEdit", "OAddrEdit",
                   "OCityEdit",     "OStateEdit",   "OZipEdit",      "OCountryEdit", "AHandleEdit",
                   "ARoleEdit",     "ANameEdit",    "AOrgEdit",      "AAddrEdit",    "ACityEdit",
                   "AStateEdit",    "AZipEdit",     "ACountryEdit",  "APhoneEdit",   "AFaxEdit",
                   "AMailEdit",     "THandleEdit",  "TRoleEdit",     "TNameEdit",    "TOrgEdit",
                   "TAddrEdit",     "TCityEdit",    "TStateEdit",    "TZipEdit",     "TCountryEdit",
                   "TPhoneEdit",    "TFaxEdit",     "TMailEdit",     "BHandleEdit",  "BRoleEdit",
                   "BNameEdit",     "BOrgEdit",     "BAddrEdit",     "BCityEdit",    "BStateEdit",
                   "BZipEdit",      "BCountryEdit", "BPhoneEdit",    "BFaxEdit",     "BMailEdit",
                   "PriNSEdit",     "PriNSIPEdit",  "SecNSEdit",     "SecNSIPEdit",  "ThirdNSEdit",
                   "ThirdNSIPEdit", "fourthnsedit", "fourthnsipedit"}));
    EXPECT_EQ(
        Keys(RecordFileKeys(RecordKind::Host)),
        QStringList({"HostType", "HostNicHandle", "HostAuthScheme", "HostAuthInfo", "HostIPAddress",
                     "HCNicHandle", "HCRole", "HCName", "HCOrg", "HCAddr", "HCCity", "HCState",
                     "HCZip", "HCCountry", "HCPhone", "HCFax", "HCMail"}));
    EXPECT_EQ(Keys(RecordFileKeys(RecordKind::Contact)), QStringList({"ContactType",
                                                                      "NotifyUp",
                                                                      "NotifyUse",
                                                                      "ContactAuthenticationType",
                                                                      "Public",
                                                                      "ContactAuthorizationType",
                                                                      "ContactAuthorizationInfo",
                                                                      "ContactAuthenticationInfo",
                                                                      "ContactNicHandle",
                                                                      "ContactRole",
                                                                      "Contactname",
                                                                      "ContactOrgName",
                                                                      "ContactAddr",
                                                                      "ContactCity",
                                                                      "ContactState",
                                                                      "ContactZip",
                                                                      "ContactCountry",
                                                                      "ContactPhone",
                                                                      "ContactFax",
                                                                      "ContactMail"}));
}

TEST(StoreKeys, DefaultsSectionsListTheirKeysInTheWritersOrder) {
    const QStringList domain = Keys(DefaultsKeys(RecordKind::Domain));
    ASSERT_EQ(domain.size(), 10 + 36 + 8);
    EXPECT_EQ(domain.mid(0, 10),
              QStringList({"Name", "AuthInfo", "AuthScheme", "Purpose", "OrgName", "OAddr", "OCity",
                           "OState", "OZip", "OCountry"}));
    EXPECT_EQ(domain.mid(10, 12),
              QStringList({"AHandle", "ARole", "AName", "AAOrg", "AAddr", "ACity", "AState", "AZip",
                           "ACountry", "APhone", "AFax", "AMail"}));
    EXPECT_EQ(domain[25], "TAOrg");
    EXPECT_EQ(domain[37], "BOrg");
    EXPECT_EQ(domain.mid(46), QStringList({"PriNS", "PriNSIP", "SecNS", "SecNSIP", "ThirdNS",
                                           "ThirdNSIP", "FourthNS", "FourthNSIP"}));
    EXPECT_EQ(DefaultsKeys(RecordKind::Domain)[31].field, "TPhoneEdit");
    EXPECT_EQ(DefaultsKeys(RecordKind::Domain)[53].field, "fourthnsipedit");
    EXPECT_EQ(Keys(DefaultsKeys(RecordKind::Host)).mid(0, 6),
              QStringList({"HostAuthScheme", "AuthInfo", "HostHandle", "HostName", "HostIPAddress",
                           "HCNicHandle"}));
    EXPECT_EQ(Keys(DefaultsKeys(RecordKind::Contact)).mid(0, 10),
              QStringList({"ContactNotifyUpdates", "ContactNotifyUse", "ContactAuthorizationType",
                           "ContactAuthorizationInfo", "ContactAuthenticationType",
                           "ContactAuthenticationInfo", "ContactNicHandle", "ContactRole",
                           "Contactname", "ContactOrgName"}));
    // Every field a defaults key names is a field of its kind.
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact})
        for (const StoreKey& k : DefaultsKeys(kind))
            EXPECT_TRUE(EmptyRecord(kind).text.contains(k.field)) << k.field.toStdString();
}

TEST(Defaults, SaveThenLoadRestoresOnlyTheRestoredFields) {
    ScopedWorkDir dir;
    const QString settings = dir.file("regiscribe.ini");
    // A first start without a file: every restored field comes back as empty text.
    FieldValues first = LoadDefaults(settings, RecordKind::Contact);
    EXPECT_EQ(first.value("ContactNotifyUpdates", "missing"), "");
    EXPECT_EQ(first.value("ContactNotifyUse", "missing"), "");

    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact}) {
        Record saved = Filled(kind);
        if (kind == RecordKind::Domain) saved.text["PurposeEdit"] = "line 1\r\nline 2\\n";
        SaveDefaults(settings, saved);
        const FieldValues loaded = LoadDefaults(settings, kind);
        for (const FieldInfo& f : RecordFields(kind)) {
            const bool notRestored =
                QStringList({"DomainNameEdit", "HostName", "HostNicHandle", "HostIPAddress",
                             "ContactNicHandle", "ContactRole"})
                    .contains(f.control);
            if (notRestored)
                EXPECT_FALSE(loaded.contains(f.control)) << f.control.toStdString();
            else
                EXPECT_EQ(loaded.value(f.control), saved.Text(f.control))
                    << f.control.toStdString();
        }
    }
    // The keys that are not restored are still written, under the defaults names.
    TIniFile ini(settings);
    EXPECT_EQ(ini.ReadString("DomainReg", "Name", ""), "v-DomainNameEdit");
    EXPECT_EQ(ini.ReadString("DomainReg", "TPhone", ""), "v-TPhoneEdit");
    EXPECT_EQ(ini.ReadString("HostReg", "HostHandle", ""), "v-HostNicHandle");
    EXPECT_EQ(ini.ReadString("HostReg", "AuthInfo", ""), "v-HostAuthInfo");
    EXPECT_EQ(KeysInFile(settings).size(), 54 + 17 + 18);
}

TEST(RecordFile, ContactFileHoldsActionAndPublicWhereTheTablePlacesThem) {
    ScopedWorkDir dir;
    Record r = EmptyRecord(RecordKind::Contact);
    r.text["Contactname"] = "Jane Doe";
    r.text["ContactNotifyUpdates"] = "NOT-CARE";
    r.text["ContactMail"] = "jane@example.com";
    r.action = "M";
    r.publicFlag = "Y";
    SaveRecordFile("jane.ini", r);
    const QByteArray bytes = ReadAll("jane.ini");
    EXPECT_TRUE(bytes.startsWith("[ContactReg]\r\nContactType=M\r\nNotifyUp=NOT-CARE\r\n"
                                 "NotifyUse=\r\nContactAuthenticationType=\r\nPublic=Y\r\n"
                                 "ContactAuthorizationType=\r\n"));
    EXPECT_TRUE(bytes.endsWith("Contactname=Jane Doe\r\nContactOrgName=\r\nContactAddr=\r\n"
                               "ContactCity=\r\nContactState=\r\nContactZip=\r\n"
                               "ContactCountry=\r\nContactPhone=\r\nContactFax=\r\n"
                               "ContactMail=jane@example.com\r\n"));

    auto loaded = LoadRecordFile("jane.ini", RecordKind::Contact);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->publicFlag, "Y");
    EXPECT_EQ(loaded->fields.value("ContactNotifyUpdates"), "NOT-CARE");
    EXPECT_EQ(loaded->fields.value("Contactname"), "Jane Doe");
    EXPECT_EQ(loaded->fields.size(), 18); // every field; the action code is not read
}

TEST(RecordFile, LoadingGivesEmptyTextForMissingKeysAndNothingForAMissingFile) {
    ScopedWorkDir dir;
    EXPECT_FALSE(LoadRecordFile("none.ini", RecordKind::Host));
    QDir().mkdir("dir.ini");
    EXPECT_FALSE(LoadRecordFile("dir.ini", RecordKind::Host));

    WriteAll("old.ini", "[hostreg]\r\nHOSTIPADDRESS= 10.0.0.1 \r\nHostType=D\r\nExtra=kept\r\n");
    auto loaded = LoadRecordFile("old.ini", RecordKind::Host);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->fields.value("HostIPAddress"), "10.0.0.1");
    EXPECT_EQ(loaded->fields.value("HCMail", "missing"), "");
    EXPECT_FALSE(loaded->fields.contains("HostName")); // the name is the file's name

    // Writing over an older file keeps keys it no longer writes.
    Record host = Filled(RecordKind::Host);
    SaveRecordFile("old.ini", host);
    EXPECT_EQ(TIniFile("old.ini").ReadString("HostReg", "Extra", ""), "kept");
    EXPECT_EQ(LoadRecordFile("old.ini", RecordKind::Host)->fields.value("HCMail"), "v-HCMail");
}

TEST(RecordFile, DomainPurposeWithLineBreaksSurvivesTheFile) {
    ScopedWorkDir dir;
    Record r = Filled(RecordKind::Domain);
    r.text["PurposeEdit"] = "  Web site\r\n[DomainReg]\r\nAuthScheme=PGP\r\n";
    SaveRecordFile("d.ini", r);
    auto loaded = LoadRecordFile("d.ini", RecordKind::Domain);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->fields.value("PurposeEdit"), r.text["PurposeEdit"]);
    EXPECT_EQ(loaded->fields.value("AuthScheme"), "v-AuthScheme");
    EXPECT_EQ(loaded->fields.size(), 53);
    EXPECT_EQ(KeysInFile("d.ini").size(), 53);
}

TEST(RecordFile, PathsLieInTheKindFolderOfTheCurrentDirectory) {
    ScopedWorkDir dir;
    EXPECT_EQ(RecordFilePath(RecordKind::Host, "ns1.example.com"),
              QDir::currentPath() + "/hosts/ns1.example.com.ini");
    // A record file whose name differs only in letter case is that name's record.
    EnsureKindFolder(RecordKind::Contact);
    WriteAll("contacts/Jane.ini", "[ContactReg]\r\n");
    EXPECT_EQ(RecordFilePath(RecordKind::Contact, "JANE"),
              QDir::currentPath() + "/contacts/Jane.ini");
    EXPECT_EQ(RecordFilePath(RecordKind::Contact, "Janet"),
              QDir::currentPath() + "/contacts/Janet.ini");
    EnsureKindFolder(RecordKind::Domain);
    EnsureKindFolder(RecordKind::Domain); // existing: nothing happens
    EXPECT_TRUE(QDir("domains").exists());
    WriteAll("hosts", "a plain file where the folder belongs");
    EnsureKindFolder(RecordKind::Host); // failure ignored; the write that follows reports it
    EXPECT_THROW(SaveRecordFile(RecordFilePath(RecordKind::Host, "x"), Filled(RecordKind::Host)),
                 EIniFileError);
}
