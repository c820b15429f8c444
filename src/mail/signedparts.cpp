#include "mail/signedparts.h"

#include "mail/msdecoder.h"
#include "platform/exception.h"

#include <QRegularExpression>

namespace {
constexpr QByteArrayView kBegin = "-----BEGIN PGP SIGNED MESSAGE-----";
constexpr QByteArrayView kEnd = "-----END PGP SIGNATURE-----";

// One line of a text: [start, end) without its line end; `next` after it.
struct Line {
    qsizetype start, end, next;
};

Line LineAt(QByteArrayView text, qsizetype from) {
    const qsizetype lf = text.indexOf('\n', from);
    const qsizetype next = lf < 0 ? text.size() : lf + 1;
    qsizetype end = lf < 0 ? text.size() : lf;
    if (end > from && text[end - 1] == '\r') --end;
    return {from, end, next};
}

QByteArrayView Trimmed(QByteArrayView line) {
    while (line.endsWith(' ') || line.endsWith('\t'))
        line.chop(1);
    return line;
}

bool IsBlank(QByteArrayView line) {
    return Trimmed(line).trimmed().isEmpty();
}

// Walks the texts and signed parts of a message in order, counting the unsigned lines.
class Finder {
public:
    explicit Finder(SignedParts& found) : found_(found) {}

    // A text: its cleartext-signed blocks are signed parts, its other lines are not signed.
    void Text(QByteArrayView text) {
        qsizetype pos = 0;
        while (pos < text.size()) {
            const Line line = LineAt(text, pos);
            pos = line.next;
            const QByteArrayView content = text.sliced(line.start, line.end - line.start);
            if (Trimmed(content) == kBegin) {
                if (const qsizetype end = BlockEnd(text, line.next); end >= 0) {
                    SignedPart part;
                    part.block = text.sliced(line.start, end - line.start);
                    Signed(std::move(part));
                    pos = end;
                    continue;
                }
            }
            if (!IsBlank(content)) ++unsigned_;
        }
    }

    void Signed(SignedPart part) {
        (found_.parts.empty() ? found_.linesBefore : found_.linesBetween) += unsigned_;
        unsigned_ = 0;
        found_.parts.push_back(std::move(part));
    }

    void Finish() {
        if (found_.parts.empty())
            found_.linesBefore = unsigned_;
        else
            found_.linesAfter = unsigned_;
    }

private:
    // Where the block opened before `from` ends: after its "-----END PGP SIGNATURE-----" line;
    // -1 when it does not end.
    static qsizetype BlockEnd(QByteArrayView text, qsizetype from) {
        while (from < text.size()) {
            const Line line = LineAt(text, from);
            if (Trimmed(text.sliced(line.start, line.end - line.start)) == kEnd) return line.next;
            from = line.next;
        }
        return -1;
    }

    SignedParts& found_;
    qsizetype unsigned_ = 0;
};

// Whether a text that starts with a header field is a mail message: its header holds one of the
// fields every message has. Plain text that merely starts with
// "Name: value" lines is not one: its lines must be counted as text.
bool IsMailMessage(const TmsPartView& top) {
    for (const char* name : {"From", "Date", "Message-ID", "MIME-Version", "Received"})
        if (top.headers.HasField(name)) return true;
    return false;
}

bool IsAttachment(const TmsPartView& part) {
    return part.headers.FieldValue("Content-Disposition")
        .section(';', 0, 0)
        .trimmed()
        .toLower()
        .startsWith("attachment");
}

// A part's bytes with every line ended by CR LF, as RFC 3156 signs them.
QByteArray WithCrLf(QByteArrayView bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 32 + 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out += '\r';
        out += bytes[i];
    }
    return out;
}

class MessageWalk {
public:
    MessageWalk(SignedParts& found, Finder& finder) : found_(found), finder_(finder) {}

    void Part(const TmsPartView& part) {
        const QString type = part.Type();
        if (type == "multipart/signed" &&
            part.Parameter("Content-Type", "protocol").toLower() == "application/pgp-signature") {
            const std::vector<TmsPartView> halves = SubpartViews(part);
            if (halves.size() == 2 && halves[1].Type() == "application/pgp-signature") {
                SignedPart signedPart;
                signedPart.form = SignedPart::Form::PgpMime;
                signedPart.data = WithCrLf(halves[0].entity);
                signedPart.signature = DecodedBody(halves[1]);
                signedPart.text = ShownText(halves[0]);
                finder_.Signed(std::move(signedPart));
                return;
            }
        }
        if (type.startsWith("multipart/")) {
            for (const TmsPartView& sub : SubpartViews(part))
                Part(sub);
            return;
        }
        if (type == "text/plain" && !IsAttachment(part)) {
            found_.decoded.push_back(DecodedBody(part));
            finder_.Text(found_.decoded.back());
        }
    }

private:
    // The text/plain parts of a signed part, in order.
    static QByteArray ShownText(const TmsPartView& part) {
        const QString type = part.Type();
        if (type.startsWith("multipart/")) {
            QByteArray text;
            for (const TmsPartView& sub : SubpartViews(part)) {
                const QByteArray shown = ShownText(sub);
                if (!text.isEmpty() && !shown.isEmpty() && !text.endsWith('\n')) text += '\n';
                text += shown;
            }
            return text;
        }
        return type == "text/plain" && !IsAttachment(part) ? DecodedBody(part) : QByteArray();
    }

    SignedParts& found_;
    Finder& finder_;
};
} // namespace

Result<SignedParts> SignedPartsIn(const QByteArray& message) {
    SignedParts found;
    Finder finder(found);
    QByteArrayView text = message;
    // An mbox file's first line, "From sender date", is not part of the message.
    if (text.startsWith("From ")) text = text.sliced(LineAt(text, 0).next);
    // Only a text that starts with a header field is read as a message.
    static const QRegularExpression field("^[!-9;-~]+:");
    const Line first = LineAt(text, 0);
    const bool header =
        field.match(QString::fromLatin1(text.first(std::min<qsizetype>(first.end, 1000))))
            .hasMatch();
    try {
        const TmsPartView top = header ? MessagePartView(text) : TmsPartView();
        if (header && IsMailMessage(top))
            MessageWalk(found, finder).Part(top);
        else
            finder.Text(message);
    } catch (const Exception& e) {
        return Fail("The message could not be read: " + e.Message());
    }
    finder.Finish();
    return found;
}

Result<SignatureVerdict> CheckSignedPart(const SignedPart& part) {
    if (part.form == SignedPart::Form::PgpMime)
        return CheckDetached(part.data, part.signature, part.text);
    return CheckClearSigned(part.block);
}
