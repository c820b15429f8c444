// The "Setup" section: its keys, their limits, the destination's fallback and the file's place.
#include "store/inifile.h"
#include "store/setupsettings.h"
#include "support/tempdir.h"

#include "support/qstringprint.h"

#include <gtest/gtest.h>

TEST(SetupSettings, WritesTheFourKeysInOrderAndReadsThemBack) {
    ScopedWorkDir dir;
    const QString file = dir.file("regiscribe.ini");
    SetupSettings first = ReadSetup(file);
    EXPECT_EQ(first.server, "");
    EXPECT_EQ(first.address, "");
    EXPECT_EQ(first.name, "");
    EXPECT_EQ(first.mailto, "hostmaster@internic.net"); // no key: the registry's mailbox

    WriteSetup(file, {"mail.example:2525", "me@example.com", "Me", "", "", ""});
    EXPECT_EQ(ReadAll(file), "[Setup]\r\nServer=mail.example:2525\r\nEMail Address=me@example.com"
                             "\r\nName=Me\r\nMailto=\r\n");
    EXPECT_EQ(ReadSetup(file).mailto, ""); // stored empty stays empty

    TIniFile(file).WriteString("Setup", "Name", QString(300, 'n'));
    TIniFile(file).WriteString("Setup", "EMail Address", QString(299, QChar(0x00E9)));
    EXPECT_EQ(ReadSetup(file).name, QString(255, 'n'));
    EXPECT_EQ(ReadSetup(file).address, QString(255, QChar(0x00E9)));
    EXPECT_EQ(CutText(QString("\U0001F600").repeated(200), 255).size(), 254);
}

TEST(SetupSettings, SecurityAndUserAreWrittenOnlyOnceTheyHaveBeenUsed) {
    ScopedWorkDir dir;
    const QString file = dir.file("regiscribe.ini");
    SetupSettings s{"mail.example", "me@example.com", "Me", "hm@example.net", "", ""};
    WriteSetup(file, s);
    const QByteArray fourKeys = ReadAll(file);
    EXPECT_FALSE(fourKeys.contains("Security"));
    EXPECT_FALSE(fourKeys.contains("User"));

    s.security = "STARTTLS";
    s.user = "jane";
    WriteSetup(file, s);
    EXPECT_EQ(ReadAll(file), fourKeys + "Security=STARTTLS\r\nUser=jane\r\n");
    EXPECT_EQ(ReadSetup(file).security, "STARTTLS");
    EXPECT_EQ(ReadSetup(file).user, "jane");
    // Emptied again, the keys stay in the file, empty.
    s.security.clear();
    s.user.clear();
    WriteSetup(file, s);
    EXPECT_EQ(ReadAll(file), fourKeys + "Security=\r\nUser=\r\n");
}

TEST(SetupSettings, TheSettingsFileIsNamedAfterTheProgram) {
    EXPECT_EQ(SettingsFileFor("/opt/regiscribe/bin/regiscribe"),
              "/opt/regiscribe/bin/regiscribe.ini");
    EXPECT_EQ(SettingsFileFor("/opt/re.gi/regiscribe.exe"), "/opt/re.gi/regiscribe.ini");
    EXPECT_EQ(SettingsFileFor("/x/a.b.c"), "/x/a.b.ini");
}
