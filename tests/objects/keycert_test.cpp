// key-cert objects against GnuPG: the certif: lines "Import key..." takes from a real keyring,
// the name they give, and the key read back where the registries' samples print its fingerprint.
#include "objects/builtinrules.h"
#include "objects/keycert.h"
#include "objects/objectcheck.h"
#include "objects/objectsigning.h"
#include "objects/objecttesting.h"
#include "support/gnupghome.h"
#include "support/tempdir.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
RpslObject SampleObject(const QString& file) {
    const std::vector<RpslObject> objects = ParseObjects(RpslSampleText(file));
    return objects.empty() ? RpslObject() : objects.front();
}

QString Fingerprint(const QString& printed) {
    return QString(printed).remove(' ');
}
} // namespace

TEST(KeyCert, TheKeyIsReadWhereTheRegistriesPrintItsFingerprint) {
    // The fingerpr: lines are the registries' own reading of these keys.
    for (const QString file : {"ripe-key-cert-01-valid.txt", "irrd-key-cert-01-valid.txt"}) {
        const RpslObject object = SampleObject(file);
        const ArmouredKey key = ReadArmouredKey(CertifLines(object));
        ASSERT_EQ(key.state, ArmouredKey::Key)
            << file.toStdString() << ": " << key.why.toStdString();
        EXPECT_EQ(key.fingerprint, Fingerprint(object.First("fingerpr"))) << file.toStdString();
        EXPECT_EQ(key.KeyCertName(), object.First("key-cert").toUpper()) << file.toStdString();
    }
}

TEST(KeyCert, ADamagedArmourIsNoKey) {
    const RpslObject object = SampleObject("ripe-key-cert-01-valid.txt");
    QStringList lines = CertifLines(object);
    // One character of the data changed: the armour's checksum no longer fits.
    const qsizetype data = lines.indexOf(QRegularExpression("^mQ.*")) + 2;
    ASSERT_GT(data, 2);
    lines[data][10] = lines[data][10] == 'A' ? 'B' : 'A';
    EXPECT_EQ(ReadArmouredKey(lines).state, ArmouredKey::Corrupt);
    // Without the checksum the packets are read, and a key of two primary keys is refused.
    QStringList twice = CertifLines(object);
    twice.removeIf([](const QString& line) { return line.startsWith('='); });
    EXPECT_EQ(ReadArmouredKey(twice).state, ArmouredKey::Key);
    const qsizetype blank = twice.indexOf(QString());
    const qsizetype end = twice.indexOf("-----END PGP PUBLIC KEY BLOCK-----");
    ASSERT_TRUE(blank > 0 && end > blank);
    const QByteArray once =
        QByteArray::fromBase64(twice.mid(blank + 1, end - blank - 1).join(QString()).toLatin1());
    QStringList doubled = twice.mid(0, blank + 1);
    doubled << QString::fromLatin1((once + once).toBase64()) << twice.mid(end);
    const ArmouredKey two = ReadArmouredKey(doubled);
    EXPECT_EQ(two.state, ArmouredKey::Corrupt);
    EXPECT_EQ(two.why, "more than one key");
}

TEST(KeyCert, ImportKeyFillsANameAndArmourThatGnuPGAndTheCheckAgreeOn) {
    TestGnupgHome home;
    ASSERT_TRUE(home.Ready());
    const QString fingerprint = home.MakeKey("Jane Registrant <jane@example.test>");
    ASSERT_EQ(fingerprint.size(), 40);

    const Result<std::vector<RpslAttribute>> imported = KeyCertFromKeyring(fingerprint);
    ASSERT_TRUE(imported) << imported.Error().toStdString();
    RpslObject object(imported.Value());
    ASSERT_GE(object.attributes.size(), 4u);
    EXPECT_EQ(object.ClassName(), "key-cert");
    EXPECT_EQ(object.ClassValue(), "PGPKEY-" + fingerprint.right(8));
    EXPECT_EQ(object.attributes[1].value, "-----BEGIN PGP PUBLIC KEY BLOCK-----");
    EXPECT_EQ(object.attributes.back().value, "-----END PGP PUBLIC KEY BLOCK-----");
    object.attributes.push_back({"mnt-by", "JANE-MNT", 0, false});
    object.attributes.push_back({"source", "TEST", 0, false});

    const auto rules = BuiltinRules("ripe");
    ASSERT_TRUE(rules);
    const Registry registry = RegistryNamed("ripe-test").Value();
    const ObjectCheckLines lines = CheckObject(object, registry, *rules.Value());
    ASSERT_EQ(lines.size(), 1u) << lines.front().Rendered().toStdString();
    EXPECT_EQ(lines[0].verdict, CheckVerdict::Ok);

    // The armour as the object carries it is GnuPG's key, read back as such.
    ScopedWorkDir dir;
    WriteAll(dir.file("key.asc"), CertifLines(object).join('\n').toUtf8() + '\n');
    const QString shown = home.Gpg({"--with-colons", "--show-keys", dir.file("key.asc")});
    EXPECT_TRUE(shown.contains("fpr:::::::::" + fingerprint + ":")) << shown.toStdString();

    // Named after another key, the object is refused with the name it must have.
    object.attributes[0].value = "PGPKEY-0BADC0DE";
    bool refused = false;
    for (const ObjectCheckLine& line : CheckObject(object, registry, *rules.Value()))
        refused = refused || line.Rendered() ==
                                 "error   certif: The key-cert's name must be PGPKEY-" +
                                     fingerprint.right(8) + " for this key, not PGPKEY-0BADC0DE";
    EXPECT_TRUE(refused);
    home.StopAgent();
}

TEST(KeyCert, AKeyTheKeyringLacksCannotBeImported) {
    TestGnupgHome home;
    ASSERT_TRUE(home.Ready());
    const Result<std::vector<RpslAttribute>> missing = KeyCertFromKeyring("0123456789ABCDEF");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.Error(),
              "The keyring holds no public key 0123456789ABCDEF that can be exported.");
    EXPECT_FALSE(KeyCertFromKeyring("not a key"));
}
