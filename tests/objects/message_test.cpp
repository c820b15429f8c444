// A message of a person with an AUTO-1 handle, a maintainer naming it and a reverse-DNS domain,
// signed with a real GnuPG key and mailed by `object submit` to a real SMTP server (aiosmtpd),
// after the name servers of the domain (NSD on loopback) were checked; a domain whose server is
// lame is not mailed at all.
#include "mail/submission_server.h"
#include "objects/objecttesting.h"
#include "support/gnupghome.h"
#include "support/reverselab.h"
#include "support/tempdir.h"
#include "support/testnsd.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
const QString kZone = ReverseLab::Zone;

const QByteArray kPerson = "person:  Jane Registrant\n"
                           "address: 1 Example Street\n"
                           "phone:   +31 20 535 4444\n"
                           "e-mail:  jane@example.test\n"
                           "nic-hdl: AUTO-1\n"
                           "mnt-by:  JANE-MNT\n"
                           "source:  TEST\n";

QByteArray Domain(const QString& secondServer) {
    return ("domain:  " + kZone + "\n" +
            "descr:   Jane's reverse zone\n"
            "admin-c: AUTO-1\n"
            "tech-c:  AUTO-1\n"
            "zone-c:  AUTO-1\n"
            "nserver: ns1." +
            kZone + " 127.0.60.1\n" + "nserver: " + secondServer + "\n" +
            "mnt-by:  JANE-MNT\n"
            "source:  TEST\n")
        .toUtf8();
}

class SignedMessage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { lab = new ReverseLab(60); }
    static void TearDownTestSuite() {
        delete lab;
        lab = nullptr;
    }
    void SetUp() override {
        const Done ready = lab->Ready();
        ASSERT_TRUE(ready) << ready.Error().toStdString();
        ASSERT_TRUE(lab->HasServers()) << "the name servers need port 53 (root)";
        ASSERT_NE(smtp.Port(), 0);
        fingerprint = lab->Fingerprint();
        home = &lab->Home();
        WriteAll(dir.file("regiscribe.ini"),
                 "[Setup]\r\nServer=" + smtp.Address().toUtf8() +
                     "\r\nEMail Address=jane@example.test\r\nName=Jane Registrant\r\n"
                     "OpenPGP Key=" +
                     fingerprint.toUtf8() + "\r\n[Objects]\r\nRegistry=ripe-test\r\n");
        WriteAll(dir.file("person.txt"), kPerson);
        WriteAll(dir.file("mntner.txt"), "mntner:  JANE-MNT\nadmin-c: AUTO-1\n"
                                         "upd-to:  jane@example.test\nauth:    PGPKEY-" +
                                             fingerprint.right(8).toUtf8() +
                                             "\nmnt-by:  JANE-MNT\nsource:  TEST\n");
    }
    ProcessResult Object(const QStringList& args) {
        return RunObjectCommand(args, dir.path(), dir.file("regiscribe.ini"));
    }

    static ReverseLab* lab;
    QString fingerprint;
    TestGnupgHome* home = nullptr;
    ScopedWorkDir dir;
    LocalSmtpServer smtp;
};
ReverseLab* SignedMessage::lab = nullptr;
} // namespace

TEST_F(SignedMessage, ThreeObjectsGoSignedInOneMessageThatIsKept) {
    WriteAll(dir.file("domain.txt"), Domain("ns2." + kZone + " 127.0.61.1"));
    const ProcessResult check = Object({"check", "--ns", "person.txt", "mntner.txt", "domain.txt"});
    EXPECT_TRUE(VerdictLines(check, "error").isEmpty()) << check.out.toStdString();

    const ProcessResult run = Object({"submit", "person.txt", "mntner.txt", "domain.txt"});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const std::vector<ReceivedMessage> received = smtp.Messages();
    ASSERT_EQ(received.size(), 1u);
    const ReceivedMessage& message = received.front();
    EXPECT_EQ(message.to, QStringList{"test-dbm@ripe.net"});
    EXPECT_EQ(message.subject, "Create person AUTO-1 and 2 more objects");
    for (const char* keyword : {"NEW", "DIFF", "HELP", "HOWTO"})
        EXPECT_NE(message.subject.compare(keyword, Qt::CaseInsensitive), 0);

    const qsizetype split = message.rawBytes.indexOf("\r\n\r\n");
    ASSERT_GT(split, 0);
    const QByteArray header = "\r\n" + message.rawBytes.left(split) + "\r\n";
    const QByteArray body = message.rawBytes.mid(split + 4);
    EXPECT_TRUE(header.contains("\r\nDate: ")) << header.toStdString();
    EXPECT_TRUE(header.contains("\r\nMessage-ID: <")) << header.toStdString();
    EXPECT_FALSE(header.toLower().contains("auto-submitted")) << header.toStdString();
    EXPECT_TRUE(header.contains("charset=\"us-ascii\"")) << header.toStdString();

    // The raw body is what the robot reads: GnuPG must find the signature good as it stands.
    WriteAll(dir.file("body.asc"), body);
    const QString verified = home->Gpg({"--verify", dir.file("body.asc")});
    EXPECT_TRUE(verified.contains("Good signature from \"Jane Registrant <jane@example.test>\""))
        << verified.toStdString();
    EXPECT_TRUE(verified.contains(fingerprint)) << verified.toStdString();

    // Between the signature's header and the signature: three objects, one empty line apart.
    const qsizetype from = body.indexOf("Hash: SHA256\r\n\r\n");
    const qsizetype to = body.indexOf("\r\n-----BEGIN PGP SIGNATURE-----");
    ASSERT_TRUE(from >= 0 && to > from) << body.toStdString();
    const QByteArray objects = body.mid(from + 16, to - from - 16);
    EXPECT_FALSE(objects.contains("\r\n\r\n\r\n"));
    const QList<QByteArray> blocks = objects.split('\n').join('\n').split('\n');
    const QList<QByteArray> parts = QByteArray(objects).replace("\r\n\r\n", "\f").split('\f');
    ASSERT_EQ(parts.size(), 3) << objects.toStdString();
    EXPECT_TRUE(parts[0].startsWith("person:         Jane Registrant\r\n"));
    EXPECT_TRUE(parts[0].contains("\r\nnic-hdl:        AUTO-1\r\n"));
    EXPECT_TRUE(parts[1].startsWith("mntner:         JANE-MNT\r\nadmin-c:        AUTO-1\r\n"));
    EXPECT_TRUE(parts[2].startsWith("domain:         " + kZone.toUtf8() + "\r\n"));
    EXPECT_EQ(blocks.count(QByteArray("\r")), 2);

    // The copy in sent/ is the text that went, under the first object's name and "+2".
    const QStringList kept = QDir(dir.file("sent")).entryList({"*.eml"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept[0].endsWith("-object-person-AUTO-1+2.eml")) << kept[0].toStdString();
    EXPECT_EQ(ReadAll(dir.file("sent/" + kept[0])).trimmed(), message.rawBytes.trimmed());
    EXPECT_TRUE(ReadAll(dir.file("sent/sent.log"))
                    .contains("\tobject\tperson-AUTO-1+2\ttest-dbm@ripe.net\t"));

    // Each object is its record now, and the created keys are listed.
    EXPECT_EQ(ReadAll(dir.file("objects/person.cbx")), "AUTO-1\r\n");
    EXPECT_EQ(ReadAll(dir.file("objects/domain.cbx")), kZone.toUtf8() + "\r\n");
    EXPECT_TRUE(ReadAll(dir.file("objects/mntner/JANE-MNT.txt"))
                    .startsWith("mntner:         JANE-MNT\r\n"));
    home->StopAgent();
}

TEST_F(SignedMessage, ADomainWithALameServerIsNotMailed) {
    WriteAll(dir.file("domain.txt"), Domain("ns3." + kZone + " 127.0.62.1"));
    const ProcessResult run = Object({"submit", "person.txt", "mntner.txt", "domain.txt"});
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
    EXPECT_FALSE(VerdictLines(run, "error").isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(run.err).startsWith("Nothing was mailed: the check found "))
        << run.err.toStdString();
    EXPECT_TRUE(smtp.Messages().empty());
    EXPECT_FALSE(QDir(dir.file("sent")).exists());
    EXPECT_FALSE(QFile::exists(dir.file("objects/domain.cbx")));
    home->StopAgent();
}
