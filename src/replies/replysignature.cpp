// The one place the replies call the OpenPGP module.
#include "replies/replysignature.h"

#include "openpgp/openpgpbackend.h"
#include "platform/module.h"
#include "platform/peertext.h"

namespace {
const QString kBegin = QStringLiteral("-----BEGIN PGP SIGNED MESSAGE-----");
const QString kEnd = QStringLiteral("-----END PGP SIGNATURE-----");

// The first line from `from` on that is `text` (blanks around it aside), or -1.
qsizetype LineIndex(const QStringList& lines, const QString& text, qsizetype from) {
    for (qsizetype i = from; i < lines.size(); ++i)
        if (lines[i].trimmed() == text) return i;
    return -1;
}

OpenPgpVerdict Verify(const QByteArray& signedText) {
    OpenPgpVerdict verdict;
    Result<OpenPgpBackend*> backend =
        SharedModuleInterface<OpenPgpBackend>(OpenPgpModuleName, OpenPgpModuleEntry);
    QString why;
    if (!backend)
        verdict.problem = "OpenPGP is not available: " + backend.Error();
    else if (!backend.Value()->Ready(why))
        verdict.problem = why;
    else
        verdict = backend.Value()->Verify(signedText);
    return verdict;
}

QString Signer(const OpenPgpVerdict& verdict) {
    const QString user = PeerText(verdict.userId, PeerTextLines::Escape);
    return user.isEmpty() ? verdict.fingerprint : user + " (" + verdict.fingerprint + ")";
}
} // namespace

ReplySignature CheckReplySignature(const ReplyMessage& reply) {
    ReplySignature signature;
    if (reply.pgpMime) {
        signature.kind = ReplySignature::Kind::Unchecked;
        signature.line = "signature NOT checked: signatures in a separate MIME part are not read";
        return signature;
    }
    const qsizetype begin = LineIndex(reply.lines, kBegin, 0);
    const qsizetype end = begin < 0 ? -1 : LineIndex(reply.lines, kEnd, begin);
    if (end < 0) return signature;
    for (qsizetype i = 0; i < reply.lines.size(); ++i)
        if ((i < begin || i > end) && !reply.lines[i].trimmed().isEmpty())
            signature.textOutside = true;

    const OpenPgpVerdict verdict =
        Verify((reply.lines.mid(begin, end - begin + 1).join('\n') + '\n').toUtf8());
    switch (verdict.kind) {
    case OpenPgpVerdict::Good:
        signature.kind = ReplySignature::Kind::Good;
        signature.line = "signed by " + Signer(verdict);
        break;
    case OpenPgpVerdict::Bad:
        signature.kind = ReplySignature::Kind::NotValid;
        signature.line = "signature NOT valid (made with the key of " + Signer(verdict) + ")";
        break;
    case OpenPgpVerdict::NoPublicKey:
        signature.kind = ReplySignature::Kind::Unchecked;
        signature.line = "signature NOT checked: no public key for " + verdict.fingerprint;
        break;
    case OpenPgpVerdict::NoSignature:
        signature.kind = ReplySignature::Kind::NotValid;
        signature.line = QStringLiteral("signature NOT valid: the signed part cannot be read");
        break;
    case OpenPgpVerdict::Failed:
        signature.kind = ReplySignature::Kind::Unchecked;
        signature.line =
            "signature NOT checked: " + PeerText(verdict.problem, PeerTextLines::Escape);
        break;
    }
    if (signature.textOutside) signature.line += "; the text outside the signed part is NOT signed";
    return signature;
}
