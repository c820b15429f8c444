#include "objects/objectsigning.h"

#include "objects/keycert.h"
#include "openpgp/openpgp.h"
#include "store/setupsettings.h"

#include <QProcess>

Result<QStringList> SignObjectLines(const QStringList& lines, const QString& keyId,
                                    const QString& passphraseCommand) {
    try {
        return ClearSignLines(lines, SigningKeyChoice{keyId, false}, passphraseCommand);
    } catch (const ESigningError& e) {
        QString text = e.Message();
        // The signing words speak of a template; here a message of objects is signed.
        text.replace("The template could not be signed", "The message could not be signed");
        return Fail(text);
    }
}

std::optional<bool> SecretKeyHeld(const QString& keyId) {
    const Result<std::vector<OpenPgpKey>> keys = SigningKeys();
    if (!keys) return std::nullopt;
    // A version 4 key's id is the end of its fingerprint.
    for (const OpenPgpKey& key : *keys)
        if (key.fingerprint.endsWith(keyId, Qt::CaseInsensitive)) return true;
    return false;
}

QString SettingsSigningKey(const QString& settingsFile) {
    return ReadSetup(settingsFile).openPgpKey.trimmed();
}

Result<std::vector<RpslAttribute>> KeyCertFromKeyring(const QString& keyId) {
    const std::optional<QString> id = NormalizedKeyId(keyId);
    if (!id) return Fail(keyId + " is no key id: give 8 or 16 hex digits or a fingerprint.");
    // GnuPG itself, without a shell between; the key id is checked hex.
    QProcess gpg;
    gpg.setStandardInputFile(QProcess::nullDevice());
    gpg.start("gpg", {"--batch", "--no-tty", "--armor", "--export", "--", *id});
    const bool ran = gpg.waitForStarted(30000) && gpg.waitForFinished(30000);
    if (!ran || gpg.exitStatus() != QProcess::NormalExit || gpg.exitCode() != 0) {
        gpg.kill();
        gpg.waitForFinished(1000);
        return Fail("GnuPG could not export the key " + *id + ".");
    }
    const QString armour = QString::fromUtf8(gpg.readAllStandardOutput().left(1024 * 1024));
    std::vector<RpslAttribute> certif = CertifAttributes(armour);
    QStringList lines;
    for (const RpslAttribute& a : certif)
        lines << a.value;
    const ArmouredKey key = ReadArmouredKey(lines);
    if (key.state != ArmouredKey::Key)
        return Fail("The keyring holds no public key " + *id + " that can be exported.");
    std::vector<RpslAttribute> attributes{RpslAttribute{"key-cert", key.KeyCertName(), 0, false}};
    attributes.insert(attributes.end(), certif.begin(), certif.end());
    return attributes;
}
