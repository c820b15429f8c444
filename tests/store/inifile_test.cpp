// The INI engine on hand-made files: the reading rules, byte-exact writes and refused writes.
#include "store/inifile.h"
#include "store/memovalue.h"
#include "support/tempdir.h"

#include "support/qstringprint.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
QString Read(const QString& file, const char* section, const char* key) {
    return TIniFile(file).ReadString(section, key, QString());
}

// The message of the error a write raises, or empty when it succeeded.
QString WriteError(const QString& file, const QString& section, const QString& key,
                   const QString& value) {
    try {
        TIniFile(file).WriteString(section, key, value);
    } catch (const EIniFileError& e) {
        return e.Message();
    }
    return {};
}

QStringList FolderEntries(const QString& path) {
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
} // namespace

TEST(IniRead, NamesIgnoreCaseAndValuesLoseBlanksAndOnePairOfQuotes) {
    ScopedWorkDir dir;
    WriteAll("a.ini", "stray=before any section\r\n"
                      "[DomainReg]\r\n"
                      "  AuthInfo  =   secret \t\r\n"
                      "Quoted=\"  inner blanks  \"\r\n"
                      "Single='x'\r\n"
                      "Twice=\"\"both\"\"\r\n"
                      "Unpaired=\"open\r\n"
                      "Mixed=\"a'\r\n"
                      "Equals=a=b=c\r\n"
                      ";Hidden=comment\r\n"
                      "Empty=\r\n"
                      "[ domainreg ]\r\n"
                      "Later=second section of the same name\r\n"
                      "[Other]\nOnly=lf lines\n");
    EXPECT_EQ(Read("a.ini", "DOMAINREG", "authinfo"), "secret");
    EXPECT_EQ(Read("a.ini", "domainreg", "QUOTED"), "  inner blanks  ");
    EXPECT_EQ(Read("a.ini", "DomainReg", "Single"), "x");
    EXPECT_EQ(Read("a.ini", "DomainReg", "Twice"), "\"both\"");
    EXPECT_EQ(Read("a.ini", "DomainReg", "Unpaired"), "\"open");
    EXPECT_EQ(Read("a.ini", "DomainReg", "Mixed"), "\"a'");
    EXPECT_EQ(Read("a.ini", "DomainReg", "Equals"), "a=b=c");
    EXPECT_EQ(Read("a.ini", "other", "only"), "lf lines");

    // Missing things give the caller's default: key, section, key outside sections, a comment,
    // a later section of the same name, the file itself.
    TIniFile ini("a.ini");
    EXPECT_EQ(ini.ReadString("DomainReg", "Empty", "dflt"), "");
    EXPECT_EQ(ini.ReadString("DomainReg", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("NoSuch", "AuthInfo", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("DomainReg", "stray", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("DomainReg", ";Hidden", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("DomainReg", "Later", "dflt"), "dflt");
    EXPECT_EQ(TIniFile("none.ini").ReadString("DomainReg", "AuthInfo", "dflt"), "dflt");
}

TEST(IniRead, LongValuesAreCutTo1023CharactersNeverInsideACharacter) {
    ScopedWorkDir dir;
    WriteAll("long.ini", "[S]\r\nAscii=" + QByteArray(2000, 'x') +
                             "\r\nWide=" + QString(1500, QChar(0xE9)).toUtf8() +
                             "\r\nPairs=" + QString("\U0001F600").repeated(600).toUtf8() + "\r\n");
    EXPECT_EQ(Read("long.ini", "S", "Ascii"), QString(1023, 'x'));
    EXPECT_EQ(Read("long.ini", "S", "Wide"), QString(1023, QChar(0xE9)));
    QString pairs = Read("long.ini", "S", "Pairs");
    EXPECT_EQ(pairs, QString("\U0001F600").repeated(511)); // 1022 code units, the pair kept whole
}

TEST(IniWrite, ChangesOnlyTheKeysLineAndPlacesNewKeysAtTheEndOfTheirSection) {
    ScopedWorkDir dir;
    const QByteArray before = "; settings kept by hand\r\n"
                              "\r\n"
                              "[Setup]\r\n"
                              "Server = old.example  \r\n"
                              "Unknown=kept\r\n"
                              "\r\n"
                              "   \r\n"
                              "[DomainReg]\n"
                              "  ; a comment inside\n"
                              "OCity=Springfield\n"
                              "[Last]\r\n"
                              "Tail=no line end";
    WriteAll("s.ini", before);

    TIniFile ini("s.ini");
    ini.WriteString("SETUP", "server", "mail.example:2525"); // replaced in place, spelling kept
    ini.WriteString("setup", "Name", "Jane Doe");            // new key ends its own section
    ini.WriteString("DomainReg", "OZip", "12345");           // after the section's last line
    ini.WriteString("Last", "More", "1");                    // last line gains its line end
    ini.WriteString("HostReg", "HostName", "ns1");           // new section ends the file

    const QByteArray expected = "; settings kept by hand\r\n"
                                "\r\n"
                                "[Setup]\r\n"
                                "Server =mail.example:2525\r\n"
                                "Unknown=kept\r\n"
                                "Name=Jane Doe\r\n"
                                "\r\n"
                                "   \r\n"
                                "[DomainReg]\n"
                                "  ; a comment inside\n"
                                "OCity=Springfield\n"
                                "OZip=12345\r\n"
                                "[Last]\r\n"
                                "Tail=no line end\r\n"
                                "More=1\r\n"
                                "[HostReg]\r\n"
                                "HostName=ns1\r\n";
    EXPECT_EQ(ReadAll("s.ini"), expected);
    EXPECT_EQ(Read("s.ini", "setup", "SERVER"), "mail.example:2525");

    // The same value again leaves every byte; an empty value keeps the key.
    ini.WriteString("Setup", "Name", "Jane Doe");
    EXPECT_EQ(ReadAll("s.ini"), expected);
    ini.WriteString("Setup", "Unknown", "");
    EXPECT_TRUE(ReadAll("s.ini").contains("\r\nUnknown=\r\n"));
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{"s.ini"}); // no temporary file left
}

TEST(IniWrite, ALoneCrEndsALineAndCommentsThatEndASectionStayBelowItsNewKey) {
    ScopedWorkDir dir;
    // A file written with lone CR line ends, as old editors did.
    WriteAll("cr.ini", "[Setup]\rServer=old\r; server above\r\r[DomainReg]\rOCity=X\r");
    EXPECT_EQ(Read("cr.ini", "Setup", "Server"), "old");
    EXPECT_EQ(Read("cr.ini", "DomainReg", "OCity"), "X");
    TIniFile ini("cr.ini");
    ini.WriteString("Setup", "Server", "new");
    ini.WriteString("Setup", "Name", "Jane");
    ini.WriteString("DomainReg", "OZip", "1");
    EXPECT_EQ(ReadAll("cr.ini"),
              "[Setup]\rServer=new\rName=Jane\r\n; server above\r\r[DomainReg]\rOCity=X\r"
              "OZip=1\r\n");

    // A section without keys takes its first key right under its header; the last line's value
    // replaced gains the line end it lacked.
    WriteAll("h.ini", "[Empty]\r\n; nothing yet\r\n[Last]\r\nTail=no line end");
    TIniFile("h.ini").WriteString("Empty", "First", "1");
    TIniFile("h.ini").WriteString("Last", "Tail", "ended");
    EXPECT_EQ(ReadAll("h.ini"), "[Empty]\r\nFirst=1\r\n; nothing yet\r\n[Last]\r\nTail=ended\r\n");
}

TEST(IniRead, TabsAndVerticalTabsAroundNamesAndValuesAreBlanks) {
    ScopedWorkDir dir;
    WriteAll("t.ini", "[\tSetup\v]\r\n\v\tServer\t=\v mail.example \t\v\r\n");
    EXPECT_EQ(Read("t.ini", "Setup", "Server"), "mail.example");
    TIniFile("t.ini").WriteString("Setup", "Server", "b");
    EXPECT_EQ(ReadAll("t.ini"), "[\tSetup\v]\r\n\v\tServer\t=b\r\n");
}

TEST(IniWrite, EveryValueReadsBackAsWrittenEvenOneThatBeginsLikeAByteOrderMark) {
    ScopedWorkDir dir;
    // U+FEFF at the start of a value is text, not a mark; only the file's first bytes can be one.
    WriteAll("b.ini", "\xEF\xBB\xBF[S]\r\nA=1\r\n");
    const QString values[] = {QString(QChar(0xFEFF)), QString(QChar(0xFEFF)) + "x", "x=y", "[z]"};
    for (const QString& value : values) {
        TIniFile("b.ini").WriteString("S", "K", value);
        EXPECT_EQ(Read("b.ini", "S", "K"), value);
    }
    EXPECT_EQ(Read("b.ini", "S", "A"), "1");
    EXPECT_TRUE(ReadAll("b.ini").startsWith("\xEF\xBB\xBF[S]\r\nA=1\r\n"));
}

TEST(IniWrite, CreatesTheFileWithCrLfLinesAndKeepsItsPermissionsAndLinks) {
    ScopedWorkDir dir;
    TIniFile ini("new.ini");
    ini.WriteString("Setup", "Server", "a");
    ini.WriteString("Setup", "Mailto", "b");
    EXPECT_EQ(ReadAll("new.ini"), "[Setup]\r\nServer=a\r\nMailto=b\r\n");

    QFile::setPermissions("new.ini", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ini.WriteString("Setup", "Server", "c");
    struct stat st;
    ASSERT_EQ(stat("new.ini", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Through a symbolic link the link stays and its target changes.
    ASSERT_TRUE(QFile::link("new.ini", "link.ini"));
    TIniFile("link.ini").WriteString("Setup", "Server", "d");
    EXPECT_TRUE(QFileInfo("link.ini").isSymLink());
    EXPECT_EQ(Read("new.ini", "Setup", "Server"), "d");
}

TEST(IniWrite, AFileThatCannotBeWrittenIsRefusedAndLeftAsItWas) {
    ScopedWorkDir dir;
    const QByteArray content = "[Setup]\r\nServer=old\r\n";

    // Read-only: refused from the permission bits, so a privileged user is refused as well.
    WriteAll("ro.ini", content);
    QFile::setPermissions("ro.ini", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString ro = dir.file("ro.ini");
    EXPECT_EQ(WriteError(ro, "Setup", "Server", "new"), "Unable to write to " + ro);
    EXPECT_EQ(WriteError(ro, "Setup", "Added", "new"), "Unable to write to " + ro);
    EXPECT_EQ(ReadAll(ro), content);

    // A path under a plain file fails for every user; the plain file is untouched.
    WriteAll("plain", content);
    const QString under = dir.file("plain/settings.ini");
    EXPECT_EQ(WriteError(under, "Setup", "Server", "x"), "Unable to write to " + under);
    EXPECT_EQ(ReadAll("plain"), content);

    // A missing folder, and a folder in the file's place.
    EXPECT_FALSE(WriteError(dir.file("no/such.ini"), "S", "K", "V").isEmpty());
    QDir().mkdir("folder.ini");
    EXPECT_FALSE(WriteError("folder.ini", "S", "K", "V").isEmpty());

    // Text that would split a line or fake a key or a section is refused before the file changes.
    WriteAll("ok.ini", content);
    EXPECT_FALSE(WriteError("ok.ini", "Setup", "Server", "one\r\n[Evil]").isEmpty());
    EXPECT_FALSE(WriteError("ok.ini", "Setup", "Server", "lone\nlf").isEmpty());
    EXPECT_FALSE(WriteError("ok.ini", "Setup", "Ser=ver", "v").isEmpty());
    EXPECT_FALSE(WriteError("ok.ini", "Se]tup", "Server", "v").isEmpty());
    EXPECT_FALSE(WriteError("ok.ini", "Setup", "  ", "v").isEmpty());
    EXPECT_EQ(ReadAll("ok.ini"), content);

    QStringList left = FolderEntries(dir.path());
    left.sort();
    EXPECT_EQ(left, QStringList({"folder.ini", "ok.ini", "plain", "ro.ini"}));
}

TEST(MemoValue, EveryTextComesBackExactlyThroughTheFile) {
    ScopedWorkDir dir;
    const QString texts[] = {
        "",
        "one line",
        "two\r\nlines",
        "ends with a break\r\n",
        "lone\rcr and lone\nlf",
        "\r\n\r\n",
        "holds \\n and \\r and \\\\ as text",
        "C:\\new\\file\\",
        "  blanks around\t",
        "\"quoted\"",
        "'single'",
        "\"",
        "=[Section]\r\n[Evil]\r\nkey=value",
    };
    TIniFile ini("m.ini");
    for (const QString& text : texts) {
        ini.WriteString("DomainReg", "PurposeEdit", EncodeMemoValue(text));
        EXPECT_EQ(DecodeMemoValue(ini.ReadString("DomainReg", "PurposeEdit", QString())), text)
            << text.toStdString();
    }
    // The file keeps its shape: one section, one key line.
    EXPECT_EQ(ReadAll("m.ini").count("\r\n"), 2);
    // A value stored before breaks were escaped reads back as it stands.
    EXPECT_EQ(DecodeMemoValue("see C:\\docs\\x"), "see C:\\docs\\x");
    EXPECT_EQ(EncodeMemoValue("plain text"), "plain text");
}
