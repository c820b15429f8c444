// regiscribe-cli ini get|set reads and writes exactly as the program does.
#include "support/process.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(CliIni, GetAndSetUseTheProgramsRules) {
    ScopedWorkDir dir;
    WriteAll("a.ini", "; kept\r\n[setup]\r\nSERVER =  \"mail.example\" \r\n");
    ProcessResult r = RunCli({"ini", "get", "a.ini", "Setup", "server"}, dir.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "mail.example\n");
    r = RunCli({"ini", "get", "a.ini", "Setup", "Missing"}, dir.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n");

    EXPECT_EQ(RunCli({"ini", "set", "a.ini", "Setup", "Name", "Jane"}, dir.path()).exitCode, 0);
    EXPECT_EQ(RunCli({"ini", "set", "a.ini", "Setup", "Port", "--", "-25"}, dir.path()).exitCode,
              0);
    EXPECT_EQ(ReadAll("a.ini"), "; kept\r\n[setup]\r\nSERVER =  \"mail.example\" \r\nName=Jane\r\n"
                                "Port=-25\r\n");
}

TEST(CliIni, FailuresAndMisuseGiveTheirStatus) {
    ScopedWorkDir dir;
    WriteAll("ro.ini", "[S]\r\nK=old\r\n");
    QFile::setPermissions("ro.ini", QFile::ReadOwner);
    ProcessResult r = RunCli({"ini", "set", dir.file("ro.ini"), "S", "K", "new"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, ("Unable to write to " + dir.file("ro.ini") + ".\n").toUtf8());
    EXPECT_EQ(ReadAll("ro.ini"), "[S]\r\nK=old\r\n");

    EXPECT_EQ(RunCli({"ini", "get", "a.ini", "S"}, dir.path()).exitCode, 2);
    EXPECT_EQ(RunCli({"ini", "put", "a.ini", "S", "K"}, dir.path()).exitCode, 2);
    EXPECT_EQ(RunCli({"ini"}, dir.path()).exitCode, 2);
}
