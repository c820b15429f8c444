// The PGP and CRYPT-PW schemes through the companion, with a real GnuPG: templates signed and
// mailed to a real server and checked by `gpg --verify`, GnuPG's own words for every failure with
// nothing sent, the contact's key choosing the signer, `keys`, and `crypt` against
// Debian's mkpasswd.
#include "mail/submission_server.h"
#include "mail/submissiontexts.h"
#include "support/gnupghome.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

namespace {
struct Keys {
    QString jane, pat, carl, old;
};

class Signing : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home = new TestGnupgHome;
        keys.jane = home->MakeKey("Jane Signer <jane@example.test>");
        keys.pat = home->MakeKey("Pat Protected <pat@example.test>", "pw-of-pat");
        keys.carl = home->MakeKey("Carl Contact <carl@example.test>");
        keys.old = home->MakeKey("Old Expired <old@example.test>", QString(), true);
    }
    static void TearDownTestSuite() {
        delete home;
        home = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(home && home->Ready());
        ASSERT_FALSE(keys.jane.isEmpty() || keys.pat.isEmpty() || keys.carl.isEmpty() ||
                     keys.old.isEmpty())
            << "gpg made no keys";
    }
    void WriteSettings(const QString& server, const QString& key) {
        QByteArray text = "[Setup]\r\nServer=" + server.toUtf8() +
                          "\r\nEMail Address=jane@example.test\r\nName=Jane Signer\r\n"
                          "Mailto=hostmaster@registry.test\r\n";
        if (!key.isEmpty()) text += "OpenPGP Key=" + key.toUtf8() + "\r\n";
        WriteAll(dir.file("regiscribe.ini"), text);
    }
    ProcessResult Submit(const QStringList& args) {
        return RunCli(QStringList{"--settings", dir.file("regiscribe.ini"), "submit"} + args,
                      dir.path());
    }
    // `gpg --verify` of a text: its report.
    QString GpgVerify(const QByteArray& text) {
        WriteAll(dir.file("check.asc"), text);
        return home->Gpg({"--verify", dir.file("check.asc")});
    }

    static TestGnupgHome* home;
    static Keys keys;
    ScopedWorkDir dir;
};
TestGnupgHome* Signing::home = nullptr;
Keys Signing::keys;

QByteArray BodyText(const ReceivedMessage& m) {
    return (m.bodyLines.join("\n") + "\n").toUtf8();
}
} // namespace

TEST_F(Signing, APgpTemplateIsMailedSignedAndGnuPGCallsTheSignatureGood) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteSettings(server.Address(), keys.jane);
    const ProcessResult r = Submit({"domain", "example.com", "--set", "AuthScheme=PGP", "--set",
                                    "OOrgNameEdit=M\u00fcller GmbH", "--set",
                                    "PurposeEdit=- a line that starts with a dash"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 1u);
    // Not ASCII, and the server takes 8-bit text: the signed text went as typed.
    EXPECT_EQ(received[0].encoding, "8bit");
    const QString report = GpgVerify(BodyText(received[0]));
    EXPECT_TRUE(report.contains("Good signature from \"Jane Signer <jane@example.test>\""))
        << report.toStdString();
    EXPECT_TRUE(report.contains(keys.jane)) << report.toStdString();

    // The template on disk stays as written; the kept copy is the signed message.
    const QByteArray onDisk = ReadAll(dir.file("domains/example.com.txt"));
    EXPECT_FALSE(onDisk.contains("BEGIN PGP"));
    EXPECT_TRUE(onDisk.contains("M\xc3\xbcller GmbH"));
    const QStringList kept = QDir(dir.file("sent")).entryList({"*.eml"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadAll(dir.file("sent/" + kept[0])), received[0].rawBytes);
    // The companion's verify finds the signature in the kept mail message and shows the text.
    const ProcessResult v = RunCli({"verify", dir.file("sent/" + kept[0])});
    EXPECT_EQ(v.exitCode, 0) << v.err.constData();
    EXPECT_TRUE(v.out.startsWith("Good signature from Jane Signer <jane@example.test> (" +
                                 keys.jane.toUtf8() + "), key validity full\n| Processed "))
        << v.out.constData();
    EXPECT_TRUE(v.out.contains("\n| 3a. Organization Name..........: M\xc3\xbcller GmbH\n"));
}

TEST_F(Signing, WithoutAKeyThePgpBoxShowsAndNothingIsSent) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteSettings(server.Address(), QString());
    const ProcessResult r = Submit({"host", "ns1.example.com", "--set", "HostAuthScheme=PGP"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, (PgpSubmissionNotice() + "\n").toUtf8());
    EXPECT_TRUE(server.Messages().empty());
    EXPECT_TRUE(QFileInfo::exists(dir.file("hosts/ns1.example.com.txt")));
}

TEST_F(Signing, EveryFailureIsToldInGnuPGsWordsAndNothingIsSent) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteSettings(server.Address(), keys.old);
    const struct {
        QStringList extra;
        const char* error;
    } cases[] = {
        {{}, "The template could not be signed: Key expired.\n"},
        {{"--sign-key", "0123456789ABCDEF0123456789ABCDEF01234567"},
         "The template could not be signed: No secret key.\n"},
        {{"--sign-key", keys.pat, "--passphrase-command", "echo not-the-passphrase"},
         "The template could not be signed: Bad passphrase.\n"},
        {{"--sign-key", keys.pat, "--passphrase-command", "exit 1"},
         "The template could not be signed: The passphrase command failed (exit status 1).\n"},
        {{"--sign-key", keys.pat, "--passphrase-command",
          "echo 'Error: gpg/pat is not in the password store.' >&2; exit 3"},
         "The template could not be signed: The passphrase command failed (exit status 3): "
         "Error: gpg/pat is not in the password store.\n"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString name = QString("case%1.example").arg(++n);
        const ProcessResult r =
            Submit(QStringList{"domain", name, "--set", "AuthScheme=PGP"} + c.extra);
        EXPECT_EQ(r.exitCode, 1) << c.error;
        EXPECT_EQ(QString::fromUtf8(r.err), QString::fromUtf8(c.error));
        EXPECT_TRUE(QFileInfo::exists(dir.file("domains/" + name + ".txt")));
    }
    EXPECT_TRUE(server.Messages().empty());
    EXPECT_FALSE(QFileInfo::exists(dir.file("sent")));

    // The right passphrase from the command signs.
    const ProcessResult ok =
        Submit({"domain", "right.example", "--set", "AuthScheme=PGP", "--sign-key", keys.pat,
                "--passphrase-command", "echo pw-of-pat"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err.constData();
    ASSERT_EQ(server.Messages().size(), 1u);
    EXPECT_TRUE(GpgVerify(BodyText(server.Messages()[0])).contains("Good signature from \"Pat"));
}

TEST_F(Signing, APassphraseCommandThatGoesOnRunningHoldsNothingUp) {
    WriteAll(dir.file("text.txt"), "Domain Name: example.com\n");
    const QString pidFile = dir.file("group");
    QElapsedTimer clock;
    clock.start();
    const ProcessResult r =
        RunCli({"sign", "--key", keys.pat, "--passphrase-command",
                "echo $$ > " + pidFile + "; echo pw-of-pat; sleep 98", dir.file("text.txt")});
    EXPECT_LT(clock.elapsed(), 2000);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(GpgVerify(r.out).contains("Good signature from \"Pat Protected"));
    const pid_t group = GroupWrittenTo(pidFile);
    ASSERT_GT(group, 0);
    QDeadlineTimer gone(1000);
    while (GroupRuns(group) && !gone.hasExpired())
        QThread::msleep(20);
    EXPECT_FALSE(GroupRuns(group));
}

TEST_F(Signing, AContactsPublicKeyIdChoosesTheKey) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    WriteSettings(server.Address(), keys.jane);
    const QStringList contact{"--set", "ContactAuthorizationType=PGP", "--set",
                              "ContactAuthenticationType=PGP"};
    // Carl's key by its 16-digit id with "0x": Carl signs.
    ProcessResult r = Submit(
        QStringList{"contact", "Carl Contact"} + contact +
        QStringList{"--set", "ContactAuthenticationInfo=0x" + keys.carl.right(16).toLower()});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(GpgVerify(BodyText(received[0])).contains("Good signature from \"Carl Contact"));
}

TEST_F(Signing, KeysListsOnlyKeysThatCanSignNow) {
    const ProcessResult r = RunCli({"keys"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QStringList fingerprints;
    for (const QString& line : QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split('\t');
        ASSERT_EQ(fields.size(), 3) << line.toStdString();
        EXPECT_EQ(fields[2], "never");
        fingerprints << fields[0];
    }
    fingerprints.sort();
    QStringList expected{keys.jane, keys.pat, keys.carl};
    expected.sort();
    EXPECT_EQ(fingerprints, expected);
}

TEST(Crypt, HashesEqualMkpasswdsForTheSameSaltAndSaltsAreFresh) {
    for (const auto& [method, mkpasswdMethod, salt] :
         {std::tuple{"des", "descrypt", "Xy"}, std::tuple{"md5", "md5crypt", "a1b2c3d4"}}) {
        for (const QByteArray& password : {QByteArray("s3cret"), QByteArray("p\xc3\xa4ss w0rd")}) {
            const ProcessResult ours =
                RunCli({"crypt", "--method", method, "--salt", salt}, {}, password + "\n");
            ASSERT_EQ(ours.exitCode, 0) << ours.err.constData();
            const ProcessResult theirs = RunProgram(
                "mkpasswd", {"-m", mkpasswdMethod, "-S", salt, "--stdin"}, {}, password + "\n");
            ASSERT_EQ(theirs.exitCode, 0) << theirs.err.constData();
            EXPECT_EQ(ours.out, theirs.out) << method;
        }
        const ProcessResult first = RunCli({"crypt", "--method", method}, {}, "s3cret\n");
        const ProcessResult second = RunCli({"crypt", "--method", method}, {}, "s3cret\n");
        EXPECT_NE(first.out, second.out);
        EXPECT_EQ(first.out.size(), QByteArray(method) == "des" ? 14 : 35) << first.out.constData();
    }
    EXPECT_EQ(RunCli({"crypt"}, {}, "").err, "No password was given.\n");
    EXPECT_EQ(RunCli({"crypt", "--salt", "x"}, {}, "pw\n").exitCode, 1);
    EXPECT_EQ(RunCli({"crypt", "--method", "sha256"}, {}, "pw\n").exitCode, 2);
}
