#include "openpgp/openpgp.h"

#include "mail/quotedprintable.h"
#include "platform/module.h"
#include "platform/shellcommand.h"
#include "platform/tasks.h"

#include <QBuffer>
#include <QDateTime>
#include <QRegularExpression>

namespace {
OpenPgpBackend* Backend(QString* why) {
    Result<OpenPgpBackend*> loaded =
        SharedModuleInterface<OpenPgpBackend>(OpenPgpModuleName, OpenPgpModuleEntry);
    if (!loaded) {
        if (why) *why = "OpenPGP is not available: " + loaded.Error();
        return nullptr;
    }
    OpenPgpBackend* backend = loaded.Value();
    QString notReady;
    if (!backend->Ready(notReady)) {
        if (why) *why = notReady;
        return nullptr;
    }
    return backend;
}

QString Failed(const QString& why) {
    return "The template could not be signed: " + why;
}
} // namespace

std::optional<std::vector<OpenPgpKey>> SigningKeys(QString* why) {
    OpenPgpBackend* backend = Backend(why);
    if (!backend) return std::nullopt;
    std::vector<OpenPgpKey> keys;
    QString problem;
    Tasks::RunWaiting([&] {
        if (backend->AgentReady(problem)) keys = backend->SecretKeys(problem);
    });
    if (!problem.isEmpty()) {
        if (why) *why = problem;
        return std::nullopt;
    }
    std::vector<OpenPgpKey> signing;
    for (const OpenPgpKey& key : keys)
        if (key.canSign && key.usable) signing.push_back(key);
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
    return key.userId + " - " + grouped + " " + expiry;
}

std::optional<QString> NormalizedKeyId(const QString& text) {
    QString id = text;
    id.remove(' ');
    if (id.startsWith("0x", Qt::CaseInsensitive)) id = id.mid(2);
    static const QRegularExpression hex("^[0-9A-Fa-f]+$");
    if (!hex.match(id).hasMatch()) return std::nullopt;
    if (id.size() != 8 && id.size() != 16 && id.size() != 40 && id.size() != 64)
        return std::nullopt;
    return id.toUpper();
}

std::optional<QString> SecretKeyFingerprint(const QString& keyId) {
    const std::optional<QString> id = NormalizedKeyId(keyId);
    OpenPgpBackend* backend = id ? Backend(nullptr) : nullptr;
    if (!backend) return std::nullopt;
    std::optional<OpenPgpKey> key;
    QString problem;
    Tasks::RunWaiting([&] { key = backend->FindKey(*id, true, problem); });
    if (!key || !key->secret) return std::nullopt;
    return key->fingerprint;
}

QString SigningKeyFor(const Record& record, const QString& settingKey) {
    if (record.kind == RecordKind::Contact && record.Text("ContactAuthenticationType") == "PGP") {
        const QString named = record.Text("ContactAuthenticationInfo").trimmed();
        if (NormalizedKeyId(named))
            if (const std::optional<QString> fingerprint = SecretKeyFingerprint(named))
                return *fingerprint;
    }
    return settingKey.trimmed();
}

QStringList ClearSignLines(const QStringList& lines, const QString& keyId,
                           const QString& passphraseCommand) {
    QString why;
    OpenPgpBackend* backend = Backend(&why);
    if (!backend) throw ESigningError(Failed(why));
    const QString id = NormalizedKeyId(keyId).value_or(keyId);
    PassphraseSource passphrase;
    if (!passphraseCommand.isEmpty())
        passphrase = [passphraseCommand]() -> std::optional<QByteArray> {
            const ShellCommandResult run = RunShellCommand(passphraseCommand, 60000);
            if (!run.finished || run.exitStatus != 0) return std::nullopt;
            return FirstLine(run.output);
        };
    const QByteArray text = (lines.join('\n') + '\n').toUtf8();
    QByteArray signedText;
    bool ok = false;
    Tasks::RunWaiting([&] { ok = backend->ClearSign(text, id, passphrase, signedText, why); });
    if (!ok) throw ESigningError(Failed(why));
    QStringList signedLines = QString::fromUtf8(signedText).split('\n');
    if (!signedLines.isEmpty() && signedLines.back().isEmpty()) signedLines.removeLast();
    for (QString& line : signedLines)
        if (line.endsWith('\r')) line.chop(1);
    return signedLines;
}

QByteArray SignedTextIn(const QByteArray& text) {
    static const QByteArray begin = "-----BEGIN PGP SIGNED MESSAGE-----";
    static const QByteArray end = "-----END PGP SIGNATURE-----";
    QByteArray body = text;
    // A mail message (it starts with a header field): its body, after the first empty line, with
    // its transfer encoding undone.
    static const QRegularExpression field("^[!-9;-~]+:");
    if (field.match(QString::fromLatin1(text.left(text.indexOf('\n')))).hasMatch()) {
        QByteArrayList lines = text.split('\n');
        for (QByteArray& line : lines)
            if (line.endsWith('\r')) line.chop(1);
        const qsizetype blank = lines.indexOf(QByteArray());
        if (blank >= 0) {
            const QByteArray header = lines.mid(0, blank).join('\n').toLower();
            QByteArrayList bodyLines = lines.mid(blank + 1);
            if (header.contains("content-transfer-encoding: quoted-printable")) {
                body.clear();
                QBuffer buffer(&body);
                buffer.open(QIODevice::WriteOnly);
                TQuotedPrintable(buffer, bodyLines).Decode();
            } else {
                body = bodyLines.join('\n');
            }
        }
    }
    const qsizetype from = body.indexOf(begin);
    const qsizetype to = body.indexOf(end, from);
    if (from < 0 || to < 0) return QByteArray();
    return body.mid(from, to + end.size() - from) + "\n";
}

OpenPgpVerdict VerifySignedText(const QByteArray& signedText) {
    OpenPgpVerdict verdict;
    if (signedText.isEmpty()) {
        verdict.kind = OpenPgpVerdict::NoSignature;
        return verdict;
    }
    QString why;
    OpenPgpBackend* backend = Backend(&why);
    if (!backend) {
        verdict.problem = why;
        return verdict;
    }
    Tasks::RunWaiting([&] { verdict = backend->Verify(signedText); });
    return verdict;
}

QString VerdictText(const OpenPgpVerdict& verdict) {
    const QString who = verdict.userId.isEmpty()
                            ? verdict.fingerprint
                            : verdict.userId + " (" + verdict.fingerprint + ")";
    switch (verdict.kind) {
    case OpenPgpVerdict::Good:
        return "Good signature from " + who;
    case OpenPgpVerdict::Bad:
        return "BAD signature from " + who;
    case OpenPgpVerdict::NoPublicKey:
        return "No public key for " + verdict.fingerprint;
    case OpenPgpVerdict::NoSignature:
        return "No OpenPGP signature found.";
    case OpenPgpVerdict::Failed:
        break;
    }
    return "The signature could not be checked: " + verdict.problem;
}
