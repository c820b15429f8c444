// The one place the replies call the OpenPGP module.
#include "replies/replysignature.h"

#include "openpgp/openpgp.h"
#include "platform/peertext.h"

#include <algorithm>

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

    const Result<SignatureVerdict> verdict =
        CheckClearSigned((reply.lines.mid(begin, end - begin + 1).join('\n') + '\n').toUtf8());
    if (!verdict) {
        signature.kind = ReplySignature::Kind::Unchecked;
        signature.line =
            "signature NOT checked: " + PeerText(verdict.Error(), PeerTextLines::Escape);
    } else {
        // The first signature that is not good decides; else the first one's signer is named.
        const std::vector<OpenPgpSignature>& all = verdict->signatures;
        const auto notGood = std::find_if(all.begin(), all.end(), [](const OpenPgpSignature& s) {
            return s.status != OpenPgpSignature::Status::Good;
        });
        using S = OpenPgpSignature::Status;
        if (all.empty()) {
            signature.kind = ReplySignature::Kind::NotValid;
            signature.line = QStringLiteral("signature NOT valid: the signed part cannot be read");
        } else if (notGood == all.end()) {
            signature.kind = ReplySignature::Kind::Good;
            signature.line = "signed by " + Signer(all.front());
        } else if (notGood->status == S::NoPublicKey) {
            signature.kind = ReplySignature::Kind::Unchecked;
            signature.line = "signature NOT checked: no public key for " +
                             PeerText(notGood->fingerprint, PeerTextLines::Escape);
        } else if (notGood->status == S::Failed) {
            signature.kind = ReplySignature::Kind::Unchecked;
            signature.line =
                "signature NOT checked: " + PeerText(notGood->problem, PeerTextLines::Escape);
        } else if (notGood->status == S::Bad) {
            signature.kind = ReplySignature::Kind::NotValid;
            signature.line = "signature NOT valid (made with the key of " + Signer(*notGood) + ")";
        } else {
            signature.kind = ReplySignature::Kind::NotValid;
            signature.line = "signature NOT valid: " + SignatureLine(*notGood);
        }
    }
    if (signature.textOutside) signature.line += "; the text outside the signed part is NOT signed";
    return signature;
}
