// A maintainer password where the registry takes one: an IRRd maintainer whose BCRYPT-PW hash
// is made with libxcrypt, judged by Python's crypt module, and the password itself on the
// password: line of the message and in no file; a registry that takes signatures only refuses it
// before anything is sent.
#include "mail/submission_server.h"
#include "objects/objecttesting.h"
#include "support/gnupghome.h"
#include "support/tempdir.h"

#include <QDir>
#include <QRegularExpression>
#include <crypt.h>
#include <gtest/gtest.h>

namespace {
const QString kPassword = "Tr0ub4dor&3-of-Jane";

QString BcryptHash(const QString& password) {
    char* setting = crypt_gensalt_ra("$2b$", 12, nullptr, 0);
    if (!setting) return QString();
    void* data = nullptr;
    int size = 0;
    const char* hash = crypt_ra(password.toUtf8().constData(), setting, &data, &size);
    const QString result = hash && hash[0] != '*' ? QString::fromLatin1(hash) : QString();
    free(data);
    free(setting);
    return result;
}

class MaintainerPassword : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.Ready());
        ASSERT_NE(smtp.Port(), 0);
        hash = BcryptHash(kPassword);
        ASSERT_TRUE(hash.startsWith("$2b$12$")) << hash.toStdString();
        WriteAll(dir.file("regiscribe.ini"),
                 "[Setup]\r\nServer=" + smtp.Address().toUtf8() +
                     "\r\nEMail Address=jane@example.test\r\nName=Jane\r\n");
        WriteAll(dir.file("mntner.txt"), "mntner:  JANE-MNT\nadmin-c: JR1-RADB\n"
                                         "upd-to:  jane@example.test\nauth:    BCRYPT-PW " +
                                             hash.toUtf8() +
                                             "\nmnt-by:  JANE-MNT\nsource:  RADB\n");
    }
    ProcessResult Object(const QStringList& args) {
        return RunObjectCommand(args, dir.path(), dir.file("regiscribe.ini"));
    }
    QString hash;
    TestGnupgHome home; // asked about the maintainers' PGPKEY- lines
    ScopedWorkDir dir;
    LocalSmtpServer smtp;
};
} // namespace

TEST_F(MaintainerPassword, TheHashVerifiesAndThePasswordGoesOnlyInTheMessage) {
    const ProcessResult judged = RunProgram(
        "/usr/bin/python3",
        {"-W", "ignore", "-c",
         "import crypt, sys; print(crypt.crypt(sys.argv[1], sys.argv[2]) == sys.argv[2])",
         kPassword, hash});
    EXPECT_EQ(judged.out.trimmed(), "True") << judged.err.toStdString();

    const ProcessResult check = Object({"check", "--registry", "radb", "mntner.txt"});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();

    const ProcessResult run = Object({"submit", "--registry", "radb", "--password-command",
                                      "printf '%s\\n' '" + kPassword + "'", "mntner.txt"});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const std::vector<ReceivedMessage> received = smtp.Messages();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].to, QStringList{"auto-dbm@radb.net"});
    ASSERT_GE(received[0].bodyLines.size(), 3);
    EXPECT_EQ(received[0].bodyLines[0], "password: " + kPassword);
    EXPECT_EQ(received[0].bodyLines[1], "");
    EXPECT_EQ(received[0].bodyLines[2], "mntner:         JANE-MNT");

    // Kept, recorded and listed, but the password is in none of the files.
    EXPECT_EQ(QDir(dir.file("sent")).entryList({"*.eml"}).size(), 1);
    EXPECT_TRUE(QFile::exists(dir.file("objects/mntner/JANE-MNT.txt")));
    EXPECT_EQ(FilesHolding(dir.path(), kPassword.toUtf8()), QStringList());
    EXPECT_TRUE(run.out.indexOf(kPassword.toUtf8()) < 0);
    // The copy differs from the message in that line only.
    const QString sent = dir.file("sent/" + QDir(dir.file("sent")).entryList({"*.eml"}).value(0));
    EXPECT_EQ(QString::fromUtf8(ReadAll(sent)).trimmed(),
              QString(received[0].raw)
                  .replace("password: " + kPassword, "password: (not kept)")
                  .trimmed());
}

TEST_F(MaintainerPassword, ARegistryOfSignaturesOnlyRefusesItBeforeSending) {
    WriteAll(dir.file("mntner.txt"), "mntner:  JANE-MNT\nadmin-c: JR1-TEST\n"
                                     "upd-to:  jane@example.test\nauth:    PGPKEY-0123ABCD\n"
                                     "mnt-by:  JANE-MNT\nsource:  TEST\n");
    const ProcessResult run = Object({"submit", "--registry", "ripe-test", "--password-command",
                                      "printf '%s\\n' '" + kPassword + "'", "mntner.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(run.err), "RIPE TEST takes no passwords by mail: sign the message "
                                          "with an OpenPGP key. Nothing was mailed.\n");
    EXPECT_TRUE(smtp.Messages().empty());
    EXPECT_FALSE(QDir(dir.file("sent")).exists());
}

// Once created, a key is in its class's list: mailed again it is a modification, and a deletion
// carries its reason on a delete: line, takes the key off the list and removes the record.
TEST_F(MaintainerPassword, TheNextMailsOfAKeyModifyAndDeleteIt) {
    const QString password = "printf '%s\\n' '" + kPassword + "'";
    for (const QString expected :
         {"Create mntner JANE-MNT", "Modify mntner JANE-MNT", "Delete mntner JANE-MNT"}) {
        QStringList args{"submit", "--registry", "radb", "--password-command", password};
        if (expected.startsWith("Delete"))
            args << "--delete"
                 << "merged into LIR-MNT";
        const ProcessResult run = Object(args << "mntner.txt");
        ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
        const std::vector<ReceivedMessage> received = smtp.Messages();
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back().subject, expected);
        EXPECT_EQ(ReadAll(dir.file("objects/mntner.cbx")),
                  expected.startsWith("Delete") ? QByteArray() : QByteArray("JANE-MNT\r\n"));
    }
    QStringList last = smtp.Messages().back().bodyLines;
    while (!last.isEmpty() && last.back().isEmpty())
        last.removeLast();
    ASSERT_FALSE(last.isEmpty());
    EXPECT_EQ(last.back(), "delete:         merged into LIR-MNT");
    EXPECT_EQ(last.filter(QRegularExpression("^delete:")).size(), 1);
    EXPECT_FALSE(QFile::exists(dir.file("objects/mntner/JANE-MNT.txt")));
}
