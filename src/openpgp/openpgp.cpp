#include "openpgp/openpgp.h"

#include "openpgp/gnupgsign.h"
#include "platform/module.h"
#include "platform/peertext.h"
#include "platform/shellcommand.h"
#include "platform/tasks.h"

#include <QBuffer>
#include <QDateTime>
#include <QHash>
#include <cctype>

namespace {
Result<OpenPgpBackend*> Backend() {
    Result<OpenPgpBackend*> loaded =
        SharedModuleInterface<OpenPgpBackend>(OpenPgpModuleName, OpenPgpModuleEntry);
    if (!loaded) return Fail("OpenPGP is not available: " + loaded.Error());
    return loaded;
}

QString NotSigned(const QString& why) {
    return "The template could not be signed: " + why;
}

QString NotChecked(const QString& why) {
    return "The signature could not be checked: " + why;
}

// The contact's key must name exactly one key whose secret part can sign; the rest (expired,
// revoked) GnuPG tells in its words.
Result<void> ChooseContactKey(const std::vector<OpenPgpKey>& named, const QString& keyId) {
    const QString key = "The contact's key 0x" + keyId;
    if (named.empty()) return Fail(key + " is not in your keyring");
    if (named.size() == 2) return Fail(key + " names two keys");
    if (named.size() > 2) return Fail(key + " names " + QString::number(named.size()) + " keys");
    const OpenPgpKey& only = named.front();
    if (!only.secret) return Fail(key + " has no secret part");
    if (only.unusable.isEmpty() && only.signingFingerprint.isEmpty())
        return Fail(key + " has no secret part that can sign");
    return {};
}

QString Who(const OpenPgpSignature& s) {
    const QString fingerprint = PeerText(s.fingerprint, PeerTextLines::Escape);
    if (s.userId.isEmpty()) return fingerprint;
    return PeerText(s.userId, PeerTextLines::Escape) + " (" + fingerprint + ")";
}

QString ValidityText(OpenPgpSignature::Validity validity) {
    using V = OpenPgpSignature::Validity;
    switch (validity) {
    case V::Ultimate:
        return "key validity ultimate";
    case V::Full:
        return "key validity full";
    case V::Marginal:
        return "key validity marginal";
    case V::Unknown:
    case V::Never:
        break;
    }
    return "not certified by a key you trust";
}
} // namespace

Result<QByteArray> ExportedPublicKey(const QString& keyId) {
    const Result<OpenPgpBackend*> backend = Backend();
    if (!backend) return Fail(backend.Error());
    return Tasks::RunAndWait<Result<QByteArray>>(
        [&] { return backend.Value()->ExportPublicKey(keyId); });
}

Result<std::vector<OpenPgpKey>> SigningKeys() {
    const Result<OpenPgpBackend*> backend = Backend();
    if (!backend) return Fail(backend.Error());
    Result<std::vector<OpenPgpKey>> keys = Tasks::RunAndWait<Result<std::vector<OpenPgpKey>>>(
        [&] { return backend.Value()->Keys(QString(), true); });
    if (!keys) return keys;
    // A fingerprint that two keys share (the same key in two keyrings, a subkey bound to two
    // keys) would make the signature's key ambiguous to whoever checks it.
    QHash<QString, int> holders;
    for (const OpenPgpKey& key : keys.Value()) {
        QStringList own = key.subkeys;
        own << key.fingerprint;
        own.removeDuplicates();
        for (const QString& fingerprint : own)
            ++holders[fingerprint];
    }
    std::vector<OpenPgpKey> signing;
    for (const OpenPgpKey& key : keys.Value())
        if (key.unusable.isEmpty() && !key.signingFingerprint.isEmpty() &&
            holders.value(key.fingerprint) == 1 && holders.value(key.signingFingerprint) == 1)
            signing.push_back(key);
    return signing;
}

QString SigningKeyCaption(const OpenPgpKey& key) {
    const QString id = key.fingerprint.right(16);
    QString grouped;
    for (int i = 0; i < id.size(); i += 4)
        grouped += (i ? " " : "") + id.mid(i, 4);
    const QString expiry =
        key.expires
            ? "(expires " + QDateTime::fromSecsSinceEpoch(key.expires).toString("yyyy-MM-dd") + ")"
            : QString("(no expiry)");
    return PeerText(key.userId, PeerTextLines::Escape) + " - " + grouped + " " + expiry +
           (key.onCard ? " (on card)" : "");
}

std::optional<QString> NormalizedKeyId(const QString& text) {
    QString id = text;
    id.remove(' ');
    if (id.startsWith("0x", Qt::CaseInsensitive)) id = id.mid(2);
    for (const QChar c : id)
        if (c.unicode() > 0x7f || !std::isxdigit(c.unicode())) return std::nullopt;
    if (id.size() != 8 && id.size() != 16 && id.size() != 40 && id.size() != 64)
        return std::nullopt;
    return id.toUpper();
}

Result<SigningKeyChoice> SigningKeyFor(const Record& record, const QString& settingKey) {
    if (record.kind == RecordKind::Contact && record.Text("ContactAuthenticationType") == "PGP") {
        const QString named = record.Text("ContactAuthenticationInfo").trimmed();
        if (!named.isEmpty()) {
            const std::optional<QString> id = NormalizedKeyId(named);
            if (!id)
                return Fail("The contact's Public PGP Key ID \"" +
                            PeerText(named, PeerTextLines::Escape) +
                            "\" is not a key ID (8 or 16 hex digits or a fingerprint)");
            return SigningKeyChoice{*id, true};
        }
    }
    return SigningKeyChoice{settingKey.trimmed(), false};
}

Result<void> ClearSign(QIODevice& in, QIODevice& out, const SigningKeyChoice& key,
                       const QString& passphraseCommand) {
    const QString id = NormalizedKeyId(key.keyId).value_or(key.keyId);
    PassphraseSource passphrase;
    if (!passphraseCommand.isEmpty())
        passphrase = [passphraseCommand] {
            return SecretFromCommand(passphraseCommand, "passphrase command");
        };
    // A fingerprint names one key, and gpg itself refuses one that cannot sign: the keyring is
    // looked at first only for a contact's key (refused in the contact's words before anything
    // is signed) and for a short key id (which may name two keys). GnuPG's refusal is then told
    // as the keyring explains it ("Key expired" where gpg says only "Unusable secret key").
    const bool fingerprint = id.size() >= 40 && NormalizedKeyId(id);
    // The contact's refusal is told as it is; everything else is GnuPG's reason not to sign.
    bool refused = false;
    const auto signer = [&key, &id, &refused](OpenPgpBackend& backend) -> Result<QString> {
        if (!key.contact) return backend.Signer(id, {});
        return backend.Signer(id, [&id, &refused](const std::vector<OpenPgpKey>& named) {
            Result<void> chosen = ChooseContactKey(named, id);
            refused = !chosen;
            return chosen;
        });
    };
    QString chosen = id;
    if (key.contact || !fingerprint) {
        const Result<OpenPgpBackend*> backend = Backend();
        if (!backend) return Fail(NotSigned(backend.Error()));
        const Result<QString> found =
            Tasks::RunAndWait<Result<QString>>([&] { return signer(*backend.Value()); });
        if (!found) return Fail(refused ? found.Error() : NotSigned(found.Error()));
        chosen = found.Value();
    }
    const GnupgSigning run =
        Tasks::RunAndWait<GnupgSigning>([&] { return SignWithGnupg(in, out, chosen, passphrase); });
    if (run.made) return {};
    if (!run.ours.isEmpty()) return Fail(NotSigned(run.ours));
    if (!run.trouble.isEmpty()) return Fail(NotSigned(run.trouble));
    const Result<OpenPgpBackend*> backend = Backend();
    if (!backend) return Fail(NotSigned(backend.Error()));
    return Tasks::RunAndWait<Result<void>>([&]() -> Result<void> {
        if (run.signerRefused)
            if (const Result<QString> explained = signer(*backend.Value()); !explained)
                return Fail(NotSigned(explained.Error()));
        return Fail(NotSigned(run.errorCode ? backend.Value()->ErrorText(run.errorCode)
                                            : QString("gpg made no signature")));
    });
}

Result<QStringList> ClearSignLines(const QStringList& lines, const SigningKeyChoice& key,
                                   const QString& passphraseCommand) {
    QByteArray text = (lines.join('\n') + '\n').toUtf8();
    QByteArray signedText;
    QBuffer in(&text), out(&signedText);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    const Result<void> made = ClearSign(in, out, key, passphraseCommand);
    if (!made) return Fail(made.Error());
    QStringList signedLines = QString::fromUtf8(signedText).split('\n');
    if (!signedLines.isEmpty() && signedLines.back().isEmpty()) signedLines.removeLast();
    for (QString& line : signedLines)
        if (line.endsWith('\r')) line.chop(1);
    return signedLines;
}

Result<std::optional<QStringList>> SignTemplate(const Record& record, const QStringList& lines,
                                                const QString& settingKey,
                                                const QString& overrideKey,
                                                const QString& passphraseCommand) {
    Result<SigningKeyChoice> key = overrideKey.isEmpty()
                                       ? SigningKeyFor(record, settingKey)
                                       : Result<SigningKeyChoice>(SigningKeyChoice{overrideKey});
    if (!key) return Fail(key.Error());
    if (key->keyId.isEmpty()) return std::optional<QStringList>();
    Result<QStringList> signedLines = ClearSignLines(lines, key.Value(), passphraseCommand);
    if (!signedLines) return Fail(signedLines.Error());
    return std::optional<QStringList>(signedLines.Value());
}

bool SignatureVerdict::Accepted(bool acceptMarginal) const {
    using V = OpenPgpSignature::Validity;
    if (signatures.empty()) return false;
    for (const OpenPgpSignature& s : signatures) {
        if (s.status != OpenPgpSignature::Status::Good) return false;
        const bool valid = s.validity == V::Full || s.validity == V::Ultimate ||
                           (acceptMarginal && s.validity == V::Marginal);
        if (!valid) return false;
    }
    return true;
}

Result<SignatureVerdict> CheckClearSigned(QByteArrayView block) {
    const Result<OpenPgpBackend*> backend = Backend();
    if (!backend) return Fail(NotChecked(backend.Error()));
    SignatureVerdict verdict;
    QBuffer signedText(&verdict.signedText);
    signedText.open(QIODevice::WriteOnly);
    const Result<std::vector<OpenPgpSignature>> signatures =
        Tasks::RunAndWait<Result<std::vector<OpenPgpSignature>>>(
            [&] { return backend.Value()->VerifyClearSigned(block, signedText); });
    if (!signatures) return Fail(NotChecked(signatures.Error()));
    verdict.signatures = signatures.Value();
    return verdict;
}

Result<SignatureVerdict> CheckDetached(QByteArrayView data, QByteArrayView signature,
                                       const QByteArray& shownText) {
    const Result<OpenPgpBackend*> backend = Backend();
    if (!backend) return Fail(NotChecked(backend.Error()));
    const Result<std::vector<OpenPgpSignature>> signatures =
        Tasks::RunAndWait<Result<std::vector<OpenPgpSignature>>>(
            [&] { return backend.Value()->VerifyDetached(data, signature); });
    if (!signatures) return Fail(NotChecked(signatures.Error()));
    return SignatureVerdict{signatures.Value(), shownText};
}

QString SignatureLine(const OpenPgpSignature& s) {
    using S = OpenPgpSignature::Status;
    switch (s.status) {
    case S::Good:
        return "Good signature from " + Who(s) + ", " + ValidityText(s.validity);
    case S::Bad:
        return "BAD signature from " + Who(s);
    case S::ExpiredSignature:
        return "Expired signature from " + Who(s);
    case S::ExpiredKey:
        return "Signature by an expired key from " + Who(s);
    case S::RevokedKey:
        return "Signature by a revoked key from " + Who(s);
    case S::NoPublicKey:
        return "No public key for " + PeerText(s.fingerprint, PeerTextLines::Escape);
    case S::Failed:
        break;
    }
    return NotChecked(s.problem);
}
