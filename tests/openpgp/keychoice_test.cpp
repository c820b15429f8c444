// Which key signs, with a real GnuPG: a contact's key id that names no key that can sign refuses
// the send before any connection, the key list holds only keys that can sign (no stub whose only
// secret part encrypts, no fingerprint two keys share, a card's key marked), and an agent that
// cannot start is told in GnuPG's words.
#include "support/gnupghome.h"
#include "support/loopbackpeer.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
struct Keys {
    QString jane, pubOnly, stub, twin, card, old;
};

class KeyChoice : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home = new TestGnupgHome;
        files = new QTemporaryDir;
        keys.jane = home->MakeKey("Jane Signer <jane@example.test>");
        keys.old = home->MakeKey("Old Expired <old@example.test>", QString(), true);
        keys.stub = home->MakeStubKey("Stub Primary <stub@example.test>");
        keys.twin = home->MakeTwinKey("Twin Key <twin@example.test>");
        keys.card = home->MakeCardKey("Card Key <card@example.test>");
        // A key whose secret part lives elsewhere: made in another home, its public part here.
        QTemporaryDir elsewhere;
        RunProgram("gpg", {"--homedir", elsewhere.path(), "--batch", "--pinentry-mode", "loopback",
                           "--passphrase", "", "--quick-gen-key", "Pub Only <pub@example.test>",
                           "ed25519", "sign", "never"});
        RunProgram("gpg", {"--homedir", elsewhere.path(), "--batch", "--output",
                           files->filePath("pub.pgp"), "--export", "pub@example.test"});
        home->Gpg({"--import", files->filePath("pub.pgp")});
        keys.pubOnly = home->Fingerprint("Pub Only <pub@example.test>");
        RunProgram("gpgconf", {"--homedir", elsewhere.path(), "--kill", "gpg-agent"});
    }
    static void TearDownTestSuite() {
        delete home;
        delete files;
    }
    void SetUp() override {
        ASSERT_TRUE(home->Ready());
        for (const QString& k :
             {keys.jane, keys.pubOnly, keys.stub, keys.twin, keys.card, keys.old})
            ASSERT_FALSE(k.isEmpty()) << "gpg made no keys";
    }

    static TestGnupgHome* home;
    static QTemporaryDir* files;
    static Keys keys;
    ScopedWorkDir dir;
};
TestGnupgHome* KeyChoice::home = nullptr;
QTemporaryDir* KeyChoice::files = nullptr;
Keys KeyChoice::keys;
} // namespace

TEST_F(KeyChoice, EachContactKeyThatCannotSignRefusesTheSendBeforeAnyConnection) {
    uint16_t port = 0;
    const int listener = ListenOnLoopback(8, port);
    WriteAll(dir.file("regiscribe.ini"),
             "[Setup]\r\nServer=127.0.0.1:" + QByteArray::number(port) +
                 "\r\nEMail Address=jane@example.test\r\nMailto=hostmaster@registry.test\r\n"
                 "OpenPGP Key=" +
                 keys.jane.toUtf8() + "\r\n");
    const struct {
        QString keyId, error;
    } cases[] = {
        {"deadbeef", "The contact's key 0xDEADBEEF is not in your keyring."},
        {keys.twin, "The contact's key 0x" + keys.twin + " names two keys."},
        {"0x" + keys.pubOnly.right(16).toLower(),
         "The contact's key 0x" + keys.pubOnly.right(16) + " has no secret part."},
        {keys.stub, "The contact's key 0x" + keys.stub + " has no secret part that can sign."},
        {keys.old, "The template could not be signed: Key expired."},
        {"$1$abcdefgh$", "The contact's Public PGP Key ID \"$1$abcdefgh$\" is not a key ID (8 or "
                         "16 hex digits or a fingerprint)"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString name = QString("Contact %1").arg(++n);
        const ProcessResult r =
            RunCli({"--settings", dir.file("regiscribe.ini"), "submit", "contact", name, "--set",
                    "ContactAuthorizationType=PGP", "--set", "ContactAuthenticationType=PGP",
                    "--set", "ContactAuthenticationInfo=" + c.keyId},
                   dir.path());
        EXPECT_EQ(r.exitCode, 1) << c.keyId.toStdString();
        EXPECT_EQ(QString::fromUtf8(r.err), c.error + "\n");
        // The template is written, as when no key signs; nothing reached for the server.
        EXPECT_TRUE(QFileInfo::exists(dir.file("contacts/" + name + ".txt")))
            << QDir(dir.file("contacts")).entryList().join('|').toStdString();
        pollfd pending{listener, POLLIN, 0};
        EXPECT_EQ(::poll(&pending, 1, 0), 0)
            << "a connection was made for " << c.keyId.toStdString();
    }
    ::close(listener);
}

TEST_F(KeyChoice, TheKeyListHoldsOnlyKeysWhoseSigningPartIsHereAndWhoseFingerprintIsTheirOwn) {
    const ProcessResult r = RunCli({"keys"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    lines.sort();
    QStringList expected{keys.jane + "\tJane Signer <jane@example.test>\tnever",
                         keys.card + "\tCard Key <card@example.test>\tnever\ton card"};
    expected.sort();
    EXPECT_EQ(lines, expected);
}

TEST(AgentTrouble, AnAgentThatCannotStartIsToldInGnuPGsWords) {
    TestGnupgHome home;
    const QString key = home.MakeKey("Jane Signer <jane@example.test>");
    ASSERT_FALSE(key.isEmpty());
    home.BreakAgent(true);
    ScopedWorkDir dir;
    WriteAll(dir.file("t.txt"), "Domain Name: example.com\n");

    ProcessResult r = RunCli({"keys"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "can't connect to the agent: Configuration error.\n");
    r = RunCli({"sign", "--key", key, dir.file("t.txt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        r.err,
        "The template could not be signed: can't connect to the agent: Configuration error.\n");
    EXPECT_TRUE(r.out.isEmpty());
}
