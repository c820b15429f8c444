#include "objects/objectsigning.h"

#include "objects/keycert.h"
#include "openpgp/openpgp.h"
#include "platform/shellcommand.h"
#include "store/setupsettings.h"

Result<QStringList> SignObjectLines(const QStringList& lines, const QString& keyId,
                                    const QString& passphraseCommand) {
    try {
        return ClearSignLines(lines, keyId, passphraseCommand);
    } catch (const ESigningError& e) {
        QString text = e.Message();
        // The signing words speak of a template; here a message of objects is signed.
        text.replace("The template could not be signed", "The message could not be signed");
        return Fail(text);
    }
}

std::optional<bool> SecretKeyHeld(const QString& keyId) {
    QString why;
    const std::optional<std::vector<OpenPgpKey>> keys = SigningKeys(&why);
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
    // The key id is checked hex, so it is safe on the command line.
    const ShellCommandResult run =
        RunShellCommand("gpg --batch --no-tty --armor --export -- " + *id, 30000, 1024 * 1024);
    if (!run.started || !run.finished || run.exitStatus != 0)
        return Fail("GnuPG could not export the key " + *id + ".");
    const QString armour = QString::fromUtf8(run.output);
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
