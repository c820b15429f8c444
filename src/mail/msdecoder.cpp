#include "mail/msdecoder.h"

#include "mail/lineencoders.h"
#include "mail/quotedprintable.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {
QByteArrayList SplitTextLines(const QByteArray& text) {
    QByteArrayList lines = text.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

QString DecodeCharset(const QByteArray& bytes, const QString& charset) {
    const QString c = charset.toLower();
    if (c.isEmpty() || c == "utf-8" || c == "us-ascii") return QString::fromUtf8(bytes);
    QStringDecoder decoder(c.toLatin1().constData());
    if (decoder.isValid()) return decoder.decode(bytes);
    return QString::fromLatin1(bytes);
}

// A parameter of a header value such as `boundary="x"` or `name=file.txt`.
QString Parameter(const QString& value, const QString& name) {
    QRegularExpression re(";\\s*" + QRegularExpression::escape(name) +
                              "\\s*=\\s*(\"([^\"]*)\"|[^;\\s]*)",
                          QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch m = re.match(value);
    if (!m.hasMatch()) return QString();
    return m.captured(2).isNull() ? m.captured(1) : m.captured(2);
}

QString MainType(const QString& contentType) {
    return contentType.section(';', 0, 0).trimmed().toLower();
}

struct Part {
    TmsHeaders headers;
    QByteArrayList lines;
};

// Splits lines into the header block (raw lines) and the rest.
Part ParsePart(const QByteArrayList& lines) {
    Part part;
    qsizetype i = 0;
    for (; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) {
            ++i;
            break;
        }
        part.headers.Add(QString::fromUtf8(lines[i]));
    }
    part.lines = lines.mid(i);
    return part;
}

TmsHeaders DecodedHeaders(const TmsHeaders& raw) {
    TmsHeaders decoded;
    bool keep = false;
    for (const QString& line : raw.Lines()) {
        if (!line.startsWith(' ') && !line.startsWith('\t')) {
            const QString field = line.section(':', 0, 0).trimmed().toLower();
            keep = field == "content-type" || field == "x-uidl";
        }
        decoded.Add(keep ? line : DecodeEncodedWords(line));
    }
    return decoded;
}

QByteArray DecodeBytes(const QByteArrayList& lines, const QString& transferEncoding) {
    const QString te = transferEncoding.trimmed().toLower();
    QByteArray out;
    if (te == "base64") {
        for (const QByteArray& line : lines)
            out += DecodeBase64Line(line);
    } else if (te == "quoted-printable") {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QByteArrayList copy = lines;
        TQuotedPrintable(buffer, copy).Decode();
    } else if (te == "x-uue") {
        for (const QByteArray& line : lines) {
            if (line.startsWith("begin ") || line == "end" || line == "`") continue;
            out += DecodeUuLine(line);
        }
    } else {
        for (const QByteArray& line : lines)
            out += line + "\r\n";
    }
    return out;
}

class Decoder {
public:
    explicit Decoder(TmsCustomMessage& message) : message_(message) {}

    void Content(const Part& part, bool topLevel) {
        const QString contentType = part.headers.FieldValue("Content-Type");
        const QString type = MainType(contentType);
        const QString te = part.headers.FieldValue("Content-Transfer-Encoding");
        if (type.startsWith("multipart/")) {
            const QString boundary = Parameter(contentType, "boundary");
            if (boundary.isEmpty()) throw Exception("Multipart message without a boundary");
            Multipart(part.lines, boundary.toUtf8());
            return;
        }
        QString name = Parameter(part.headers.FieldValue("Content-Disposition"), "filename");
        if (name.isEmpty()) name = Parameter(contentType, "name");
        const bool text = type.isEmpty() || type == "text/plain";
        if (text && name.isEmpty() && (topLevel || !bodySet_)) {
            TextBody(part.lines, te, Parameter(contentType, "charset"));
            return;
        }
        TmsAttItem& item = message_.Attachments().Add();
        item.SetFileName(name.isEmpty() ? QStringLiteral("attachment") : name);
        if (!type.isEmpty()) item.SetContentType(type);
        item.Data() = DecodeBytes(part.lines, te);
    }

private:
    void Multipart(const QByteArrayList& lines, const QByteArray& boundary) {
        const QByteArray open = "--" + boundary;
        const QByteArray close = open + "--";
        QByteArrayList current;
        bool inPart = false;
        for (const QByteArray& line : lines) {
            if (line == close || line == open) {
                if (inPart) Content(ParsePart(TrimmedPart(current)), false);
                current.clear();
                inPart = line == open;
                if (line == close) return;
                continue;
            }
            if (inPart) current << line;
        }
        if (inPart) Content(ParsePart(TrimmedPart(current)), false);
    }

    // A part's text ends before the empty line that precedes the next boundary.
    static QByteArrayList TrimmedPart(QByteArrayList lines) {
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        return lines;
    }

    void TextBody(const QByteArrayList& lines, const QString& te, const QString& charset) {
        QByteArrayList plain = lines;
        const QString encoding = te.trimmed().toLower();
        if (encoding == "base64" || encoding == "quoted-printable")
            plain = SplitTextLines(DecodeBytes(lines, te));
        // uuencoded blocks inside a plain body become attachments.
        QStringList body;
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const QByteArray& line = plain[i];
            static const QRegularExpression begin("^begin [0-7]{3,4} (.+)$");
            QRegularExpressionMatch m = begin.match(QString::fromLatin1(line));
            if (m.hasMatch()) {
                QByteArray data;
                qsizetype k = i + 1;
                for (; k < plain.size() && plain[k] != "end"; ++k)
                    if (plain[k] != "`") data += DecodeUuLine(plain[k]);
                if (k < plain.size()) {
                    TmsAttItem& item = message_.Attachments().Add();
                    item.SetFileName(m.captured(1));
                    item.Data() = data;
                    i = k;
                    if (!body.isEmpty() && body.back().isEmpty()) body.removeLast();
                    continue;
                }
            }
            body << DecodeCharset(line, charset);
        }
        message_.Body() = body;
        bodySet_ = true;
    }

    TmsCustomMessage& message_;
    bool bodySet_ = false;
};
} // namespace

QString DecodeEncodedWords(const QString& value) {
    static const QRegularExpression word("=\\?([^?]+)\\?([BbQq])\\?([^?]*)\\?=(\\s+(?==\\?))?");
    QString out;
    qsizetype last = 0;
    auto it = word.globalMatch(value);
    while (it.hasNext()) {
        QRegularExpressionMatch m = it.next();
        out += value.mid(last, m.capturedStart() - last);
        const QByteArray text = m.captured(3).toLatin1();
        QByteArray bytes;
        if (m.captured(2).toUpper() == "B") {
            bytes = QByteArray::fromBase64(text);
        } else {
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i] == '_') {
                    bytes += ' ';
                } else if (text[i] == '=' && i + 2 < text.size()) {
                    bool ok = false;
                    int v = text.mid(i + 1, 2).toInt(&ok, 16);
                    if (ok) {
                        bytes += char(v);
                        i += 2;
                    } else {
                        bytes += '=';
                    }
                } else {
                    bytes += text[i];
                }
            }
        }
        out += DecodeCharset(bytes, m.captured(1));
        last = m.capturedEnd();
    }
    out += value.mid(last);
    return out;
}

void DecodeMessageText(TmsCustomMessage& message, QIODevice& stream) {
    message.Clear();
    stream.seek(0);
    const QByteArray text = stream.readAll();
    try {
        Part top = ParsePart(SplitTextLines(text));
        message.ApplyHeaders(DecodedHeaders(top.headers));
        Decoder(message).Content(top, true);
    } catch (const Exception& e) {
        message.Body() = QStringList{
            "The following error has been occured while processing the message:", e.Message(),
            "The original message will be stored as an attachment"};
        message.Attachments().Clear();
        TmsAttItem& item = message.Attachments().Add();
        item.SetFileName("original.eml");
        item.SetContentType("message/rfc822");
        item.Data() = text;
    }
}

// --- Walking a message's parts in place ---------------------------------------------------------

namespace {
// A header that large is no header: its lines would each become an object.
constexpr qsizetype kHeaderLimit = qsizetype(1) << 20;

QString HeaderParameter(const TmsHeaders& headers, const QString& field, const QString& name) {
    return Parameter(headers.FieldValue(field), name);
}

// The lines of `text` from `from` on: [start, end) without the line end, `next` after it.
struct LineSpan {
    qsizetype start, end, next;
};
LineSpan LineAt(QByteArrayView text, qsizetype from) {
    qsizetype lf = text.indexOf('\n', from);
    const qsizetype next = lf < 0 ? text.size() : lf + 1;
    qsizetype end = lf < 0 ? text.size() : lf;
    if (end > from && text[end - 1] == '\r') --end;
    return {from, end, next};
}

TmsPartView PartView(QByteArrayView entity) {
    TmsPartView part;
    part.entity = entity;
    qsizetype pos = 0;
    QStringList lines;
    while (pos < entity.size()) {
        const LineSpan line = LineAt(entity, pos);
        if (line.end == line.start) {
            part.body = entity.sliced(line.next);
            break;
        }
        if (line.next > kHeaderLimit) {
            lines.clear();
            part.body = entity;
            break;
        }
        lines << QString::fromUtf8(entity.sliced(line.start, line.end - line.start));
        pos = line.next;
    }
    for (const QString& line : lines)
        part.headers.Add(line);
    return part;
}

// Whether the line is the delimiter `open` (RFC 2046 allows blanks after it), and whether it
// closes.
bool IsDelimiter(QByteArrayView line, const QByteArray& open, bool& closing) {
    while (line.endsWith(' ') || line.endsWith('\t'))
        line.chop(1);
    if (!line.startsWith(open)) return false;
    const QByteArrayView rest = line.sliced(open.size());
    closing = rest == "--";
    return rest.isEmpty() || closing;
}
} // namespace

QString TmsPartView::Type() const {
    const QString type = MainType(headers.FieldValue("Content-Type"));
    return type.isEmpty() ? QStringLiteral("text/plain") : type;
}

QString TmsPartView::Parameter(const QString& field, const QString& name) const {
    return HeaderParameter(headers, field, name);
}

TmsPartView MessagePartView(QByteArrayView message) {
    return PartView(message);
}

std::vector<TmsPartView> SubpartViews(const TmsPartView& multipart) {
    std::vector<TmsPartView> parts;
    const QString boundary = multipart.Parameter("Content-Type", "boundary");
    if (boundary.isEmpty()) return parts;
    const QByteArray open = "--" + boundary.toUtf8();
    const QByteArrayView body = multipart.body;
    qsizetype partStart = -1; // where the part being read began
    for (qsizetype pos = 0; pos < body.size();) {
        const LineSpan line = LineAt(body, pos);
        pos = line.next;
        bool closing = false;
        if (!IsDelimiter(body.sliced(line.start, line.end - line.start), open, closing)) continue;
        if (partStart >= 0) {
            // The line end before the delimiter belongs to it.
            qsizetype end = line.start;
            if (end > 0 && body[end - 1] == '\n') --end;
            if (end > 0 && body[end - 1] == '\r') --end;
            parts.push_back(PartView(body.sliced(partStart, std::max(partStart, end) - partStart)));
        }
        if (closing) return parts;
        partStart = line.next;
    }
    if (partStart >= 0) parts.push_back(PartView(body.sliced(partStart)));
    return parts;
}

QByteArray DecodedBody(const TmsPartView& part) {
    const QString encoding =
        part.headers.FieldValue("Content-Transfer-Encoding").trimmed().toLower();
    if (encoding == "base64")
        return QByteArray::fromBase64(QByteArray::fromRawData(part.body.data(), part.body.size()));
    if (encoding == "quoted-printable") return DecodeQuotedPrintableText(part.body);
    return part.body.toByteArray();
}
