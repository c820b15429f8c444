// The one place the replies call the OpenPGP module.
#include "replies/replysignature.h"

#include "openpgp/openpgp.h"
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

QString Signer(const OpenPgpSignature& signature) {
    const QString user = PeerText(signature.userId, PeerTextLines::Escape);
    const QString fingerprint = PeerText(signature.fingerprint, PeerTextLines::Escape);
    return user.isEmpty() ? fingerprint : user + " (" + fingerprint + ")";
}

// The line and kind of GnuPG's verdict on the signed block.
void Judge(const Result<SignatureVerdict>& checked, ReplySignature& signature) {
    if (!checked) {
        signature.kind = ReplySignature::Kind::Unchecked;
        signature.line =
            "signature NOT checked: " + PeerText(checked.Error(), PeerTextLines::Escape);
        return;
    }
    using Status = OpenPgpSignature::Status;
    const OpenPgpSignature& first = checked.Value().signatures.front();
    switch (first.status) {
    case Status::Good:
        if (checked.Value().Accepted()) {
            signature.kind = ReplySignature::Kind::Good;
            signature.line = "signed by " + Signer(first);
        } else {
            // Anyone can make a key with the registry's name on it.
            signature.kind = ReplySignature::Kind::Unchecked;
            signature.line =
                "signed by " + Signer(first) + ", a key NOT certified by one you trust";
        }
        return;
    case Status::Bad:
        signature.kind = ReplySignature::Kind::NotValid;
        signature.line = "signature NOT valid (made with the key of " + Signer(first) + ")";
        return;
    case Status::ExpiredSignature:
    case Status::ExpiredKey:
    case Status::RevokedKey:
        signature.kind = ReplySignature::Kind::NotValid;
        signature.line = "signature NOT valid: " + SignatureLine(first);
        return;
    case Status::NoPublicKey:
        signature.kind = ReplySignature::Kind::Unchecked;
        signature.line = "signature NOT checked: no public key for " +
                         PeerText(first.fingerprint, PeerTextLines::Escape);
        return;
    case Status::Failed:
        break;
    }
    signature.kind = ReplySignature::Kind::Unchecked;
    signature.line = "signature NOT checked: " + PeerText(first.problem, PeerTextLines::Escape);
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

    const QByteArray block = (reply.lines.mid(begin, end - begin + 1).join('\n') + '\n').toUtf8();
    Judge(CheckClearSigned(block), signature);
    if (signature.textOutside) signature.line += "; the text outside the signed part is NOT signed";
    return signature;
}
