// `verify` against a real GnuPG with `gpg --verify` and `sq verify` as judges: GnuPG's verdict
// with the key's validity, every signed block checked, the text outside them counted, the signed
// text shown with control characters escaped, and the signed part found in every shape mail
// takes (Python's email package makes them), PGP/MIME among them.
#include "support/gnupghome.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
const QByteArray kText = "Domain Name: example.com\nAction: N\n";
const QByteArray kShown = "| Domain Name: example.com\n| Action: N\n";

struct Signers {
    QString jane, fred, tina, roe, stranger, old, lapsed, revoked, robot;
};

class Verify : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home = new TestGnupgHome;
        other = new QTemporaryDir;
        files = new QTemporaryDir;
        SignersAndTheirSignatures();
    }
    static void TearDownTestSuite() {
        RunProgram("gpgconf", {"--homedir", other->path(), "--kill", "gpg-agent"});
        delete home;
        delete other;
        delete files;
    }
    void SetUp() override {
        ASSERT_TRUE(home->Ready());
        for (const QString& k :
             {s.jane, s.fred, s.tina, s.roe, s.stranger, s.old, s.lapsed, s.revoked, s.robot})
            ASSERT_EQ(k.size(), 40) << "a key is missing";
    }

    // gpg in the other home, where keys of other people are made and sign.
    static QString Other(const QStringList& args) {
        const ProcessResult r =
            RunProgram("gpg", QStringList{"--homedir", other->path(), "--batch", "--yes",
                                          "--pinentry-mode", "loopback", "--passphrase", ""} +
                                  args);
        return QString::fromUtf8(r.out + r.err);
    }
    static QString OtherKey(const QString& userId) {
        Other({"--quick-gen-key", userId, "ed25519", "sign", "never"});
        for (const QString& line :
             Other({"--with-colons", "--list-keys", "=" + userId}).split('\n'))
            if (line.startsWith("fpr:")) return line.section(':', 9, 9);
        return QString();
    }
    static QString Main(const QStringList& args, const QByteArray& input = {}) {
        return home->Gpg(
            QStringList{"--yes", "--pinentry-mode", "loopback", "--passphrase", ""} + args, input);
    }
    static QString File(const QString& name) { return files->filePath(name); }
    // Signs kText as `key` (in the main home unless `elsewhere`) into file NAME.asc.
    static void Sign(const QString& name, const QString& key, bool elsewhere = false,
                     const QStringList& extra = {}) {
        WriteAll(File("text.txt"), kText);
        const QStringList args =
            extra +
            QStringList{"-u", key, "--clearsign", "-o", File(name + ".asc"), File("text.txt")};
        elsewhere ? Other(args) : Main(args);
    }

    static void SignersAndTheirSignatures() {
        s.jane = home->MakeKey("Jane Signer <jane@example.test>");
        // Other people: Fred certified by Jane (full validity); Tina certified only by Marcus,
        // whom Jane certified and trusts marginally (marginal validity); Jane Roe, whom nobody
        // certified (an impostor of Jane's name); a stranger whose key is not here.
        s.fred = OtherKey("Fred Full <fred@example.test>");
        const QString marcus = OtherKey("Marcus Introducer <marcus@example.test>");
        s.tina = OtherKey("Tina Marginal <tina@example.test>");
        s.roe = OtherKey("Jane Roe <jane@example.com>");
        s.stranger = OtherKey("Stranger <stranger@example.test>");
        Other({"-u", marcus, "--quick-sign-key", s.tina});
        Other({"--output", File("people.pgp"), "--export", s.fred, marcus, s.tina, s.roe});
        Main({"--import", File("people.pgp")});
        Main({"-u", s.jane, "--quick-sign-key", s.fred});
        Main({"-u", s.jane, "--quick-sign-key", marcus});
        Main({"--import-ownertrust"}, marcus.toUtf8() + ":4:\n");
        Main({"--check-trustdb"});
        // Keys of the past: a signature that expired, a key that expired after it signed.
        s.old = home->MakeKeyAt("Old Times <old@example.test>", "20200101T000000", "never");
        s.lapsed = home->MakeKeyAt("Lapsed Key <lapsed@example.test>", "20200101T000000", "1y");
        // A user ID that holds a line feed and an escape sequence (gpg will not make one; sq
        // will), its secret part imported.
        RunProgram("sq", {"key", "generate", "--userid",
                          "Robot\nGood signature from Hostmaster <hm@example.test>\x1b[31m",
                          "--export", File("robot.pgp")});
        Main({"--import", File("robot.pgp")});
        for (const QString& line : Main({"--with-colons", "--list-keys", "Robot"}).split('\n'))
            if (line.startsWith("fpr:") && s.robot.isEmpty()) s.robot = line.section(':', 9, 9);
        s.revoked = home->MakeKey("Revoked Key <revoked@example.test>");

        Sign("good", s.jane);
        Sign("full", s.fred, true);
        Sign("marginal", s.tina, true);
        Sign("impostor", s.roe, true);
        Sign("stranger", s.stranger, true);
        Sign("sigexpired", s.old, false,
             {"--faked-system-time", "20200102T000000", "--default-sig-expire", "1d"});
        Sign("keyexpired", s.lapsed, false, {"--faked-system-time", "20200601T000000"});
        Sign("revoked", s.revoked);
        WriteAll(File("text.txt"), kText + "Note: \x1b[2J the screen was cleared\n");
        Main({"-u", s.robot, "--clearsign", "-o", File("robot.asc"), File("text.txt")});
        QByteArray revocation = ReadAll(home->Path() + "/openpgp-revocs.d/" + s.revoked + ".rev");
        Main({"--import"}, revocation.replace("\n:-----", "\n-----"));
        WriteAll(File("bad.asc"), ReadAll(File("good.asc")).replace("Action: N", "Action: D"));
    }

    // gpg's verdict: the keywords of its status lines.
    static QStringList GpgSays(const QString& file) {
        QStringList keywords;
        for (const QString& line : home->Gpg({"--status-fd", "1", "--verify", file}).split('\n'))
            if (line.startsWith("[GNUPG:] ")) keywords << line.section(' ', 1, 1);
        return keywords;
    }
    // sq's exit status for `file` checked against `key`'s certificate.
    static int SqSays(const QString& file, const QString& key) {
        Main({"--output", File("cert.pgp"), "--export", key});
        return RunProgram("sq", {"verify", "--signer-cert", File("cert.pgp"), file}).exitCode;
    }

    static TestGnupgHome* home;
    static QTemporaryDir* other;
    static QTemporaryDir* files;
    static Signers s;
};
TestGnupgHome* Verify::home = nullptr;
QTemporaryDir* Verify::other = nullptr;
QTemporaryDir* Verify::files = nullptr;
Signers Verify::s;

QByteArray Id(const QString& name, const QString& fingerprint) {
    return name.toUtf8() + " (" + fingerprint.toUtf8() + ")";
}
} // namespace

TEST_F(Verify, EachVerdictOfGnuPGWithTheValidityOfTheKey) {
    const struct {
        const char* file;
        QByteArray out;
        int exitCode;
        QStringList gpg; // the status keywords gpg gives among others
        int sq;          // sq's exit status; -1 when sq has no certificate to judge with
        QString signer;
    } cases[] = {
        {"good",
         "Good signature from " + Id("Jane Signer <jane@example.test>", s.jane) +
             ", key validity full\n" + kShown,
         0,
         {"GOODSIG", "TRUST_ULTIMATE"},
         0,
         s.jane},
        {"full",
         "Good signature from " + Id("Fred Full <fred@example.test>", s.fred) +
             ", key validity full\n" + kShown,
         0,
         {"GOODSIG", "TRUST_FULLY"},
         0,
         s.fred},
        {"marginal",
         "Good signature from " + Id("Tina Marginal <tina@example.test>", s.tina) +
             ", key validity marginal\n" + kShown,
         1,
         {"GOODSIG", "TRUST_MARGINAL"},
         0,
         s.tina},
        // sq takes the certificate it is given; gpg warns: whose key it is, nobody said.
        {"impostor",
         "Good signature from " + Id("Jane Roe <jane@example.com>", s.roe) +
             ", not certified by a key you trust\n" + kShown,
         1,
         {"GOODSIG", "TRUST_UNDEFINED"},
         0,
         s.roe},
        {"sigexpired",
         "Expired signature from " + Id("Old Times <old@example.test>", s.old) + "\n" + kShown,
         1,
         {"EXPSIG"},
         1,
         s.old},
        // sq judges the key as it was when it signed; gpg and we say it expired since.
        {"keyexpired",
         "Signature by an expired key from " + Id("Lapsed Key <lapsed@example.test>", s.lapsed) +
             "\n" + kShown,
         1,
         {"EXPKEYSIG"},
         0,
         s.lapsed},
        {"revoked",
         "Signature by a revoked key from " + Id("Revoked Key <revoked@example.test>", s.revoked) +
             "\n" + kShown,
         1,
         {"REVKEYSIG"},
         1,
         s.revoked},
        {"bad",
         "BAD signature from " + Id("Jane Signer <jane@example.test>", s.jane) + "\n",
         1,
         {"BADSIG"},
         1,
         s.jane},
        {"stranger",
         "No public key for " + s.stranger.toUtf8() + "\n",
         1,
         {"NO_PUBKEY"},
         -1,
         s.stranger},
        // Forged lines and terminal escapes, in the user ID and in the text, shown as escapes.
        {"robot",
         "Good signature from Robot\\x0AGood signature from Hostmaster "
         "<hm@example.test>\\x1B[31m (" +
             s.robot.toUtf8() + "), not certified by a key you trust\n" + kShown +
             "| Note: \\x1B[2J the screen was cleared\n",
         1,
         {"GOODSIG", "TRUST_UNDEFINED"},
         -1,
         s.robot},
    };
    for (const auto& c : cases) {
        const QString file = File(QString(c.file) + ".asc");
        const ProcessResult r = RunCli({"verify", file});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.file;
        EXPECT_EQ(QString::fromUtf8(r.out), QString::fromUtf8(c.out)) << c.file;
        const QStringList gpg = GpgSays(file);
        for (const QString& keyword : c.gpg)
            EXPECT_TRUE(gpg.contains(keyword)) << c.file << ": " << gpg.join(' ').toStdString();
        if (c.sq >= 0) {
            EXPECT_EQ(SqSays(file, c.signer), c.sq) << c.file;
        }
    }
    // Marginal validity is enough when asked for; --quiet leaves the text out.
    ProcessResult r = RunCli({"verify", "--accept-marginal", "--quiet", File("marginal.asc")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Good signature from " + Id("Tina Marginal <tina@example.test>", s.tina) +
                         ", key validity marginal\n");
    EXPECT_EQ(RunCli({"verify", "--accept-marginal", File("impostor.asc")}).exitCode, 1);
}

TEST_F(Verify, TextAroundABlockIsCountedAndEveryBlockGetsAVerdict) {
    ScopedWorkDir dir;
    const QByteArray good = ReadAll(File("good.asc"));
    WriteAll(dir.file("around.txt"),
             "Action: D\nTransfer-To: mallory\n\n" + good + "\nyour request was REJECTED\n\n");
    ProcessResult r = RunCli({"verify", dir.file("around.txt")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(r.out),
              QString::fromUtf8("Good signature from " +
                                Id("Jane Signer <jane@example.test>", s.jane) +
                                ", key validity full\n" + kShown +
                                "2 lines before and 1 line after the signed part are NOT "
                                "signed.\n"));
    // gpg's signed text is the text shown.
    home->Gpg({"--output", dir.file("gpg-text"), "--decrypt", dir.file("around.txt")});
    EXPECT_EQ(ReadAll(dir.file("gpg-text")), kText);

    WriteAll(dir.file("two.txt"), good + "between\n" + ReadAll(File("bad.asc")));
    r = RunCli({"verify", dir.file("two.txt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.out),
              QString::fromUtf8("Signed part 1 of 2:\nGood signature from " +
                                Id("Jane Signer <jane@example.test>", s.jane) +
                                ", key validity full\n" + kShown +
                                "Signed part 2 of 2:\nBAD signature from " +
                                Id("Jane Signer <jane@example.test>", s.jane) +
                                "\n1 line between the signed parts is NOT signed.\n"));
    // gpg refuses such a text whole.
    EXPECT_NE(RunProgram("gpg", {"--batch", "--verify", dir.file("two.txt")}).exitCode, 0);

    WriteAll(dir.file("none.txt"), kText);
    r = RunCli({"verify", dir.file("none.txt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "No OpenPGP signature found.\n");
}

TEST_F(Verify, TheSignedTextIsFoundInEveryShapeOfMailAndInPgpMime) {
    ScopedWorkDir dir;
    const ProcessResult made =
        RunProgram("/usr/bin/python3", {TESTS_SOURCE_DIR "/openpgp/mail_shapes.py",
                                        File("good.asc"), dir.path(), s.jane});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    const QByteArray good = "Good signature from " + Id("Jane Signer <jane@example.test>", s.jane) +
                            ", key validity full\n";
    const struct {
        const char* file;
        QByteArray out;
    } cases[] = {
        {"qp.eml", good + kShown},
        {"folded.eml", good + kShown},
        {"mbox.eml", good + kShown},
        {"base64.eml", good + kShown},
        // The greeting is counted; the attachment and the HTML part are no text of the message.
        {"mixed.eml", good + kShown + "2 lines before the signed part are NOT signed.\n"},
        {"pgpmime.eml", good + "| Domain Name: example.com\n| Organisation: M\xc3\xbcller GmbH\n"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = RunCli({"verify", dir.file(c.file)});
        EXPECT_EQ(r.exitCode, 0) << c.file << r.err.constData();
        EXPECT_EQ(QString::fromUtf8(r.out), QString::fromUtf8(c.out)) << c.file;
    }
    // The judges on what the shapes carry: gpg and sq on the signed text Python's email package
    // reads from each, and gpg on the signed part of PGP/MIME as it was signed.
    Main({"--output", File("jane.pgp"), "--export", s.jane});
    for (const char* shape : {"qp", "folded", "mbox", "base64", "mixed"}) {
        const QString body = dir.file(QString(shape) + ".body");
        EXPECT_TRUE(GpgSays(body).contains("GOODSIG")) << shape;
        EXPECT_EQ(RunProgram("sq", {"verify", "--signer-cert", File("jane.pgp"), body}).exitCode, 0)
            << shape;
    }
    EXPECT_TRUE(home->Gpg({"--verify", dir.file("inner.sig"), dir.file("inner.bin")})
                    .contains("Good signature"));
    // A changed letter in the signed MIME part is found.
    QByteArray changed = ReadAll(dir.file("pgpmime.eml"));
    ASSERT_TRUE(changed.contains("M=C3=BCller"));
    WriteAll(dir.file("changed.eml"), changed.replace("M=C3=BCller", "M=C3=BCllex"));
    const ProcessResult r = RunCli({"verify", dir.file("changed.eml")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "BAD signature from " + Id("Jane Signer <jane@example.test>", s.jane) + "\n");
}
