// The name lists: their files, their order and what a shown template does to them.
#include "store/namelist.h"
#include "support/tempdir.h"

#include "support/qstringprint.h"
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {
NameListChange Change(RecordKind kind, const char* action, const char* name, int selected = -1,
                      const QString& recordFile = {}, const QString& formFile = {}) {
    return {kind, action, name, selected, recordFile, formFile};
}

QString ErrorOf(const std::function<void()>& job) {
    try {
        job();
    } catch (const ENameListError& e) {
        return e.Message();
    }
    return {};
}
} // namespace

TEST(NameListFile, SplitsAtEveryKindOfLineBreakAndWritesCrLf) {
    ScopedWorkDir dir;
    EXPECT_TRUE(ReadNameList("domains.cbx").isEmpty());
    WriteAll("domains.cbx", "a.com\r\nb.com\rc.com\nd.com\r\n\r\ne.com");
    EXPECT_EQ(ReadNameList("domains.cbx"),
              QStringList({"a.com", "b.com", "c.com", "d.com", "", "e.com"}));
    WriteAll("hosts.cbx", "ns1\r\n");
    EXPECT_EQ(ReadNameList("hosts.cbx"), QStringList{"ns1"}); // a final break adds no entry
    WriteAll("hosts.cbx", "\r\n");
    EXPECT_EQ(ReadNameList("hosts.cbx"), QStringList{""});

    WriteNameList("Contacts.cbx", {"Zoë", "adam", ""});
    EXPECT_EQ(ReadAll("Contacts.cbx"), QString("Zoë\r\nadam\r\n\r\n").toUtf8());
    WriteNameList("Contacts.cbx", {});
    EXPECT_EQ(ReadAll("Contacts.cbx"), "");
}

TEST(NameListFile, FailuresNameTheFile) {
    ScopedWorkDir dir;
    QDir().mkdir("hosts.cbx"); // exists, but cannot be read as a file
    EXPECT_EQ(ErrorOf([] { ReadNameList("hosts.cbx"); }), "Cannot open file hosts.cbx");
    EXPECT_EQ(ErrorOf([] { WriteNameList("hosts.cbx", {"x"}); }), "Cannot create file hosts.cbx");
    WriteAll("domains.cbx", "keep\r\n");
    QFile::setPermissions("domains.cbx", QFile::ReadOwner);
    EXPECT_EQ(ErrorOf([] { WriteNameList("domains.cbx", {"x"}); }),
              "Cannot create file domains.cbx");
    EXPECT_EQ(ReadAll("domains.cbx"), "keep\r\n");
}

TEST(NameListChanges, NewAddsOnceInTheListsOrder) {
    ScopedWorkDir dir;
    QStringList contacts = OrderedNames(RecordKind::Contact, {"mary", "Bob", "alice"});
    EXPECT_EQ(contacts, QStringList({"alice", "Bob", "mary"}));
    EXPECT_TRUE(ApplyNameListChange(Change(RecordKind::Contact, "N", "Carol"), contacts));
    EXPECT_EQ(contacts, QStringList({"alice", "Bob", "Carol", "mary"}));
    EXPECT_EQ(ReadAll("Contacts.cbx"), "alice\r\nBob\r\nCarol\r\nmary\r\n");
    EXPECT_FALSE(ApplyNameListChange(Change(RecordKind::Contact, "N", "CAROL"), contacts));
    EXPECT_EQ(contacts.size(), 4);

    QStringList domains = {"z.com"};
    EXPECT_TRUE(ApplyNameListChange(Change(RecordKind::Domain, "N", "a.com"), domains));
    EXPECT_FALSE(ApplyNameListChange(Change(RecordKind::Domain, "N", "A.COM"), domains));
    EXPECT_EQ(domains, QStringList({"z.com", "a.com"})); // insertion order
    EXPECT_EQ(ReadAll("domains.cbx"), "z.com\r\na.com\r\n");

    // A list file that cannot be written stops the change, and the list stays as the file is.
    QDir().mkdir("hosts.cbx");
    QStringList hosts = {"ns1"};
    EXPECT_EQ(ErrorOf([&] { ApplyNameListChange(Change(RecordKind::Host, "N", "ns2"), hosts); }),
              "Cannot create file hosts.cbx");
    EXPECT_EQ(hosts, QStringList{"ns1"});
}

TEST(NameListChanges, DeleteRemovesTheSelectedEntryAndTheRecordsFiles) {
    ScopedWorkDir dir;
    QDir().mkdir("hosts");
    WriteAll("hosts/ns2.ini", "[HostReg]\r\n");
    WriteAll("hosts/ns2.txt", "template");
    WriteAll("hosts/ns1.ini", "[HostReg]\r\n");
    QStringList hosts = {"ns1", "ns2", "ns3"};
    NameListChange del = Change(RecordKind::Host, "D", "ns2", 1, dir.file("hosts/ns2.ini"),
                                dir.file("hosts/ns2.txt"));
    EXPECT_TRUE(ApplyNameListChange(del, hosts));
    EXPECT_EQ(hosts, QStringList({"ns1", "ns3"}));
    EXPECT_EQ(ReadAll("hosts.cbx"), "ns1\r\nns3\r\n");
    EXPECT_FALSE(QFile::exists("hosts/ns2.ini"));
    EXPECT_FALSE(QFile::exists("hosts/ns2.txt"));
    EXPECT_TRUE(QFile::exists("hosts/ns1.ini"));

    // Typed, not picked: no entry is selected, so the list keeps it but is still rewritten.
    WriteAll("hosts/ns3.ini", "[HostReg]\r\n");
    del = Change(RecordKind::Host, "D", "ns3", -1, dir.file("hosts/ns3.ini"),
                 dir.file("hosts/ns3.txt"));
    EXPECT_FALSE(ApplyNameListChange(del, hosts));
    EXPECT_EQ(hosts, QStringList({"ns1", "ns3"}));
    EXPECT_FALSE(QFile::exists("hosts/ns3.ini"));

    // Modify touches nothing.
    NameListChange modify = Change(RecordKind::Host, "M", "ns1", 0, dir.file("hosts/ns1.ini"));
    EXPECT_FALSE(ApplyNameListChange(modify, hosts));
    EXPECT_TRUE(QFile::exists("hosts/ns1.ini"));
    EXPECT_EQ(hosts.size(), 2);
}
