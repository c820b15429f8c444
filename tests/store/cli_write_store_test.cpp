// regiscribe-cli write with the record store: it starts from the record file, saves it again and
// keeps the name list as Show Form does.
#include "store/inifile.h"
#include "support/process.h"
#include "support/qstringprint.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
int Write(const ScopedWorkDir& dir, QStringList args) {
    args.prepend("write");
    ProcessResult r = RunCli(args, dir.path());
    EXPECT_TRUE(r.exitCode == 0 || !r.err.isEmpty()) << r.err.toStdString();
    return r.exitCode;
}
} // namespace

TEST(CliWriteStore, ASecondWriteStartsFromTheRecordFileAndTheListGainsTheNameOnce) {
    ScopedWorkDir dir;
    ASSERT_EQ(Write(dir, {"domain", "example.com", "--set", "OOrgNameEdit=Example Inc", "--set",
                          "PurposeEdit=Web\r\nand mail", "--set", "AuthScheme=CRYPT-PW"}),
              0);
    ASSERT_EQ(Write(dir, {"domain", "example.com", "--set", "OCityEdit=Springfield"}), 0);
    TIniFile ini(dir.file("domains/example.com.ini"));
    EXPECT_EQ(ini.ReadString("DomainReg", "OOrgNameEdit", ""), "Example Inc");
    EXPECT_EQ(ini.ReadString("DomainReg", "OCityEdit", ""), "Springfield");
    EXPECT_EQ(ini.ReadString("DomainReg", "PurposeEdit", ""), "Web\\r\\nand mail");
    EXPECT_EQ(ini.ReadString("DomainReg", "AuthScheme", ""), "CRYPT-PW");
    const QByteArray form = ReadAll(dir.file("domains/example.com.txt"));
    EXPECT_TRUE(form.contains("Example Inc")) << "the template lacks the loaded organization";
    EXPECT_TRUE(form.contains("Web\r\nand mail"));
    ASSERT_EQ(Write(dir, {"domain", "EXAMPLE.COM", "--action", "M"}), 0);
    ASSERT_EQ(Write(dir, {"domain", "Example.Com"}), 0);
    EXPECT_EQ(ReadAll("domains.cbx"), "example.com\r\n");
}

TEST(CliWriteStore, ContactsKeepTheirStoredSpellingPublicFlagAndSortedList) {
    ScopedWorkDir dir;
    ASSERT_EQ(Write(dir, {"contact", "Zed", "--public", "Y"}), 0);
    ASSERT_EQ(Write(dir, {"contact", "amy"}), 0);
    EXPECT_EQ(TIniFile(dir.file("contacts/Zed.ini")).ReadString("ContactReg", "Public", ""), "Y");
    ASSERT_EQ(Write(dir, {"contact", "Zed", "--set", "ContactPhone=555"}), 0);
    TIniFile zed(dir.file("contacts/Zed.ini"));
    EXPECT_EQ(zed.ReadString("ContactReg", "Public", ""), "Y"); // loaded, not reset to N
    EXPECT_EQ(zed.ReadString("ContactReg", "ContactType", ""), "N");
    EXPECT_EQ(ReadAll("Contacts.cbx"), "amy\r\nZed\r\n");
}

TEST(CliWriteStore, DeleteRemovesTheListEntryAndBothFilesOfThatRecordOnly) {
    ScopedWorkDir dir;
    ASSERT_EQ(Write(dir, {"host", "ns1.example.com"}), 0);
    ASSERT_EQ(Write(dir, {"host", "ns2.example.com"}), 0);
    ASSERT_EQ(Write(dir, {"domain", "example.com"}), 0);
    ASSERT_EQ(Write(dir, {"host", "NS1.example.com", "--action", "D"}), 0);
    // The name counts as picked, so the entry goes; the files are those the writer just wrote.
    EXPECT_EQ(ReadAll("hosts.cbx"), "ns2.example.com\r\n");
    EXPECT_FALSE(QFile::exists(dir.file("hosts/NS1.example.com.txt")));
    EXPECT_FALSE(QFile::exists(dir.file("hosts/NS1.example.com.ini")));
    EXPECT_TRUE(QFile::exists(dir.file("hosts/ns2.example.com.ini")));
    EXPECT_TRUE(QFile::exists(dir.file("domains/example.com.ini")));

    ASSERT_EQ(Write(dir, {"host", "ns2.example.com", "--action", "D"}), 0);
    EXPECT_EQ(ReadAll("hosts.cbx"), "");
    EXPECT_FALSE(QFile::exists(dir.file("hosts/ns2.example.com.ini")));
}

TEST(CliWriteStore, AListThatCannotBeWrittenFailsWithItsMessage) {
    ScopedWorkDir dir;
    WriteAll("hosts.cbx", "ns0\r\n");
    QFile::setPermissions("hosts.cbx", QFile::ReadOwner);
    ProcessResult r = RunCli({"write", "host", "ns1"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Cannot create file hosts.cbx.\n");
    EXPECT_EQ(ReadAll("hosts.cbx"), "ns0\r\n");
}
