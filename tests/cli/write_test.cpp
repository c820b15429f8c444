// regiscribe-cli write: the same files as Show Form, its options and its failures.
#include "support/process.h"
#include "support/tempdir.h"
#include "templates/templatewriters.h"

#include <QDirIterator>
#include <gtest/gtest.h>

namespace {
// The file's lines after the "Processed" stamp, which carries the time of the run.
QByteArray WithoutStamp(QByteArray bytes) {
    const qsizetype at = bytes.indexOf("Processed ");
    const qsizetype end = bytes.indexOf("\r\n", at);
    return at < 0 || end < 0 ? bytes : bytes.remove(at, end - at);
}

QStringList Tree(const QString& root) {
    QStringList all;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        all << it.next();
    all.sort();
    return all;
}
} // namespace

TEST(CliWrite, WritesTheSameTemplateAsTheWriterAndPrintsItsPath) {
    ScopedWorkDir dir;
    ProcessResult r = RunCli({"write", "domain", "example.com", "--set", "OOrgNameEdit=Example Inc",
                              "--set", "PurposeEdit=web\nand mail", "--set", "AuthScheme=CRYPT-PW",
                              "--set", "AuthInfoEdit=secret", "--action", "M"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, (dir.file("domains/example.com.txt") + "\n").toUtf8());
    EXPECT_TRUE(r.err.isEmpty());

    Record expected = EmptyRecord(RecordKind::Domain);
    expected.text["DomainNameEdit"] = "example.com";
    expected.text["OOrgNameEdit"] = "Example Inc";
    expected.text["PurposeEdit"] = "web\nand mail";
    expected.text["AuthScheme"] = expected.selected["AuthScheme"] = "CRYPT-PW";
    expected.text["AuthInfoEdit"] = "secret";
    expected.action = "M";
    const QByteArray written = ReadAll(dir.file("domains/example.com.txt"));
    EXPECT_EQ(WithoutStamp(written),
              WithoutStamp(JoinTemplateLines(DomainFormLines(expected, "Processed x"))));
    EXPECT_EQ(written.count("\r\n"), 223);
    EXPECT_TRUE(written.startsWith("Processed "));
}

TEST(CliWrite, SelectorsCountAsPickedOnlyForAListItemAndContactsDefaultToConfidential) {
    ScopedWorkDir dir;
    ProcessResult r =
        RunCli({"write", "contact", "Jane Roe", "--set", "ContactNotifyUpdates=BEFORE-UPDATE",
                "--set", "ContactNotifyUse=before-use", "--set", "ContactRole=I"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray text = ReadAll(dir.file("contacts/Jane Roe.txt"));
    EXPECT_TRUE(text.contains("\r\n2a. Notify Updates..........: BEFORE-UPDATE\r\n"));
    EXPECT_TRUE(text.contains("\r\n2b. Notify Use..............: \r\n"));
    EXPECT_TRUE(text.contains("\r\n1b. (I)ndividual (R)ole.....: I\r\n"));
    EXPECT_TRUE(text.contains("\r\n0a. (N)ew (M)odify (D)elete.: N\r\n"));
    EXPECT_TRUE(text.endsWith("\r\n3c. Public (Y/N)............: N\r\n"));

    // Modify: a Delete record would take its files away with the name-list step.
    r = RunCli({"write", "contact", "Jane Roe", "--public", "Y", "--action=M"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(ReadAll(dir.file("contacts/Jane Roe.txt")).endsWith("Y\r\n"));

    r = RunCli({"write", "host", "ns1.example.com"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadAll(dir.file("hosts/ns1.example.com.txt")).count("\r\n"), 28);
}

TEST(CliWrite, InternationalNamesGoToTheRobotAsALabelsButStayAsTypedForTheUser) {
    ScopedWorkDir dir;
    ProcessResult r = RunCli({"write", "domain", "bücher.example", "--set",
                              "PriNSEdit=ns1.bücher.example", "--set", "SecNSEdit=ns2.example"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray text = ReadAll(dir.file("domains/bücher.example.txt"));
    EXPECT_TRUE(text.contains("\r\n2.  Complete Domain Name.......: xn--bcher-kva.example\r\n"));
    EXPECT_TRUE(
        text.contains("\r\n7a. Primary Server Hostname....: ns1.xn--bcher-kva.example\r\n"));
    EXPECT_TRUE(text.contains("\r\n8a. Secondary Server Hostname..: ns2.example\r\n"));
    EXPECT_FALSE(text.contains("bücher"));
    EXPECT_EQ(ReadAll(dir.file("domains.cbx")), QByteArray("bücher.example\r\n"));

    r = RunCli({"write", "host", "ns1.bücher.example"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        ReadAll(dir.file("hosts/ns1.bücher.example.txt"))
            .contains("\r\n1b. Host Name..................: ns1.xn--bcher-kva.example\r\n"));
    // A name that is no valid international name is left as typed rather than lost.
    r = RunCli({"write", "host", "a—b.example"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(ReadAll(dir.file("hosts/a—b.example.txt"))
                    .contains("\r\n1b. Host Name..................: a—b.example\r\n"));

    // Addresses carry their domains the same way; a local part outside ASCII stays as typed.
    r = RunCli({"write", "contact", "Renée", "--set", "ContactMail=renée@Bücher.example", "--set",
                "ContactAuthorizationType=MAIL-FROM", "--set",
                "ContactAuthorizationInfo=renee@bücher.example"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray contact = ReadAll(dir.file("contacts/Renée.txt"));
    EXPECT_TRUE(
        contact.contains("\r\n1l. E-Mailbox...............: renée@xn--bcher-kva.example\r\n"));
    // Under MAIL-FROM the authorization info means nothing and is left out.
    EXPECT_TRUE(contact.contains("\r\n0c. Auth Info...............: \r\n"));
}

TEST(CliWrite, UsageErrorsExitWithTwoAndWriteNothing) {
    ScopedWorkDir dir;
    const QStringList bad[] = {
        {"write"},
        {"write", "domain"},
        {"write", "zone", "x"},
        {"write", "domain", "x", "extra"},
        {"write", "domain", "x", "--set", "HCPhone=1"},
        {"write", "domain", "x", "--set", "nothing"},
        {"write", "domain", "x", "--set", "OAddrEdit=two\nlines"},
        {"write", "domain", "x", "--set", "DomainNameEdit=y"},
        {"write", "domain", "x", "--action", "X"},
        {"write", "host", "x", "--public", "Y"},
        {"write", "contact", "x", "--public", "maybe"},
        {"write", "contact", "x", "--colour", "red"},
    };
    for (const QStringList& args : bad) {
        ProcessResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Usage: regiscribe-cli write KIND NAME"))
            << args.join(' ').toStdString() << r.err.toStdString();
    }
    EXPECT_TRUE(Tree(dir.path()).isEmpty());

    ProcessResult help = RunCli({"write", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: regiscribe-cli write KIND NAME"));
}

TEST(CliWrite, EmptyAndRefusedNamesFailWithTheWindowsTextsAndTouchNothing) {
    ScopedWorkDir dir;
    QDir().mkpath("a/b");
    const QString work = dir.file("a/b");
    ProcessResult r = RunCli({"write", "contact", ""}, work);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "You did not enter a Contact Name on the Aithorization, Notify & "
                     "Authentication tab.\n");
    for (const char* kind : {"domain", "host", "contact"}) {
        for (const char* name : {"../../x", "sub/x", "a\nb", "a\rb", "a\tb"}) {
            r = RunCli({"write", kind, name}, work);
            EXPECT_EQ(r.exitCode, 1) << name;
            EXPECT_EQ(r.err, QString(name).contains('/')
                                 ? "Invalid filename.\n"
                                 : "Invalid filename: control characters.\n");
            EXPECT_TRUE(r.out.isEmpty());
        }
    }
    EXPECT_EQ(Tree(dir.path()), QStringList({dir.file("a"), work}));
}

TEST(CliWrite, OddNamesFailClearlyAndWriteOnlyInTheKindFolder) {
    ScopedWorkDir dir;
    QDir().mkpath("a/b");
    const QString work = dir.file("a/b");
    const QString tooLong(300, 'x'), tooLongWide(150, QChar(0xE9)); // 300 bytes each
    for (const QString& name : {QString("."), QString(".."), tooLong, tooLongWide}) {
        ProcessResult r = RunCli({"write", "domain", name}, work);
        EXPECT_EQ(r.exitCode, 1) << qPrintable(name);
        EXPECT_EQ(r.err, "Invalid filename.\n") << qPrintable(name);
    }
    // A name not in UTF-8 would become another name: it is refused before anything is done.
    ProcessResult r = RunProgram(
        "/bin/sh", {"-c", "exec \"$0\" write domain \"$(printf 'a\\377b')\"", REGISCRIBE_CLI},
        work);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith("regiscribe-cli: argument 3 is not valid UTF-8 text\n"))
        << r.err.toStdString();
    // Only the kind folder was made, and it is empty.
    EXPECT_EQ(Tree(dir.path()), QStringList({dir.file("a"), work, work + "/domains"}));

    // The longest name the folder takes is written, although its temporary file's would not fit.
    const QString longest(251, 'y'); // "<name>.txt" is 255 bytes
    r = RunCli({"write", "domain", longest}, work);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(work + "/domains/" + longest + ".txt"));
    EXPECT_TRUE(QFile::exists(work + "/domains/" + longest + ".ini"));
}

TEST(CliWrite, AFileErrorFailsWithItsMessage) {
    ScopedWorkDir dir;
    QDir().mkpath("hosts/taken.txt");
    ProcessResult r = RunCli({"write", "host", "taken"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "File access denied.\n");
    EXPECT_TRUE(r.out.isEmpty());
}
