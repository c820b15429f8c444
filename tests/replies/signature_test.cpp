// A robot's reply signed in the OpenPGP cleartext form, checked with a real GnuPG and a key made
// here: who signed it, and what stands outside the signature, are both said.
#include "replies/replyreading.h"
#include "support/gnupghome.h"
#include "support/replykit.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace {
const QString kRobot = "RIPE Database Administration <ripe-dbm@ripe.net>";

// The header of a sample, and its body signed by `key`.
QByteArray SignedSample(TestGnupgHome& home, const ScopedWorkDir& dir, const QString& file,
                        const QString& key) {
    const QByteArray text = SampleText(file);
    const qsizetype split = text.indexOf("\r\n\r\n") + 4;
    WriteAll(dir.file("body.txt"), text.mid(split));
    home.Gpg({"--clearsign", "--local-user", key, "--output", dir.file("body.asc"),
              dir.file("body.txt")});
    const QByteArray signedBody = ReadAll(dir.file("body.asc"));
    EXPECT_TRUE(signedBody.startsWith("-----BEGIN PGP SIGNED MESSAGE-----")) << signedBody.data();
    return text.left(split) + signedBody;
}
} // namespace

TEST(ReplySignature, SignerNamedTextOutsideSaidAndChangesCaught) {
    TestGnupgHome home;
    ASSERT_TRUE(home.Ready());
    const QString key = home.MakeKey(kRobot);
    ASSERT_FALSE(key.isEmpty()) << "gpg made no key";
    ScopedWorkDir dir;
    const QByteArray signedReply =
        SignedSample(home, dir, "ripe-success-delete-maintainer.eml", key);

    const ReplyReading good = ReadReply(signedReply);
    EXPECT_EQ(good.signature.kind, ReplySignature::Kind::Good);
    EXPECT_EQ(good.signature.line, "signed by " + kRobot + " (" + key + ")");
    // The signed text is read as the robot wrote it, its dash escapes undone.
    EXPECT_EQ(good.verdict.status, ReplyStatus::Done);
    ASSERT_EQ(good.verdict.objects.size(), 1u);
    EXPECT_EQ(good.verdict.objects[0].line, "Delete SUCCEEDED: [mntner] DEL-MNT");

    const ReplyReading appended = ReadReply(signedReply + "\r\nPS: the object was deleted.\r\n");
    EXPECT_EQ(appended.signature.kind, ReplySignature::Kind::Good);
    EXPECT_EQ(appended.signature.line, "signed by " + kRobot + " (" + key +
                                           "); the text outside the signed part is NOT signed");

    QByteArray changed = signedReply;
    changed.replace("Delete SUCCEEDED: [mntner] DEL-MNT", "Delete SUCCEEDED: [mntner] OWN-MNT");
    const ReplyReading tampered = ReadReply(changed);
    EXPECT_EQ(tampered.signature.kind, ReplySignature::Kind::NotValid);
    EXPECT_TRUE(tampered.signature.line.startsWith("signature NOT valid"))
        << tampered.signature.line.toStdString();

    // A key the keyring does not hold: signed, but nothing can be said of by whom.
    home.Gpg({"--yes", "--delete-secret-and-public-key", key});
    const ReplyReading unknown = ReadReply(signedReply);
    EXPECT_EQ(unknown.signature.kind, ReplySignature::Kind::Unchecked);
    EXPECT_EQ(unknown.signature.line, "signature NOT checked: no public key for " + key);

    // An unsigned reply says nothing of signatures.
    EXPECT_EQ(ReadReply(SampleText("ripe-success-delete-maintainer.eml")).signature.line,
              QString());
}
