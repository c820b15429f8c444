// The "Setup" section: its keys, their limits, the destination's fallback and the file's place.
#include "store/inifile.h"
#include "store/setupsettings.h"
#include "support/tempdir.h"

#include "support/qstringprint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SetupSettings, WritesTheFourKeysInOrderAndReadsThemBack) {
    ScopedWorkDir dir;
    const QString file = dir.file("regiscribe.ini");
    SetupSettings first = ReadSetup(file);
    EXPECT_EQ(first.server, "");
    EXPECT_EQ(first.address, "");
    EXPECT_EQ(first.name, "");
    EXPECT_EQ(first.mailto, "hostmaster@internic.net"); // no key: the registry's mailbox

    WriteSetup(file, {"mail.example:2525", "me@example.com", "Me", "", "", "", ""});
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
    SetupSettings s{"mail.example", "me@example.com", "Me", "hm@example.net", "", "", ""};
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

TEST(SetupSettings, TheSettingsFileLiesBesideAPortableCopyAndInTheConfigFolderWhenInstalled) {
    ScopedWorkDir dir;
    QTemporaryDir config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString xdg = config.path() + "/regiscribe/regiscribe.ini";

    // A build folder or a portable copy: beside the program.
    QDir().mkpath("portable");
    const QString portable = dir.file("portable/regiscribe");
    EXPECT_FALSE(IsInstalledProgram(portable));
    EXPECT_EQ(WindowSettingsFile(portable), dir.file("portable/regiscribe.ini"));
    EXPECT_EQ(CompanionSettingsFile(dir.file("portable/regiscribe-cli")),
              dir.file("portable/regiscribe.ini"));

    // Installed: a bin folder whose prefix holds the desktop entry.
    QDir().mkpath("prefix/bin");
    QDir().mkpath("prefix/share/applications");
    WriteAll(dir.file("prefix/share/applications/org.regiscribe.Regiscribe.desktop"), "");
    const QString installed = dir.file("prefix/bin/regiscribe");
    EXPECT_TRUE(IsInstalledProgram(installed));
    EXPECT_EQ(WindowSettingsFile(installed), xdg);
    EXPECT_EQ(CompanionSettingsFile(dir.file("prefix/bin/regiscribe-cli")), xdg);
    EXPECT_TRUE(QFileInfo(config.path() + "/regiscribe").isDir()); // made, ready to be written
    // ... unless a settings file already lies beside it.
    WriteAll(dir.file("prefix/bin/regiscribe.ini"), "[Setup]\r\n");
    EXPECT_EQ(WindowSettingsFile(installed), dir.file("prefix/bin/regiscribe.ini"));

    // A folder the user may not write: the config folder.
    QDir().mkpath("locked");
    QFile::setPermissions(dir.file("locked"), QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(dir.file("locked")).isWritable()) { // root may write anywhere
        EXPECT_EQ(WindowSettingsFile(dir.file("locked/regiscribe")), xdg);
    }
    QFile::setPermissions(dir.file("locked"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}
