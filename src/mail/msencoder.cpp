#include "mail/msencoder.h"

#include "mail/encodedwords.h"
#include "mail/lineencoders.h"
#include "mail/quotedprintable.h"
#include "platform/idna.h"

#include <QBuffer>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {
constexpr int kLongLine = 256;
// The encoded text is collected and written in blocks of about this size.
constexpr qsizetype kWriteBlock = 64 * 1024;

QString Padded(const QString& label) {
    return label.leftJustified(10, ' ');
}

QString Boundary() {
    return QString::number(QRandomGenerator::global()->bounded(10000000, 100000000));
}

QString Quoted(const QString& text) {
    return '"' + text + '"';
}

bool IsAltName(const QString& baseName) {
    return baseName.toLower().startsWith("_alt.");
}

// Splits raw bytes into lines at CR LF, lone CR or lone LF; a final line end adds no empty line.
// RFC 5322: a line holds at most 998 characters (bytes, for 8-bit text) before its CR LF.
constexpr qsizetype kLongestTypedLine = 998;

bool HasControl(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    return false;
}

QByteArrayList SplitLines(const QByteArray& bytes) {
    QByteArrayList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.append(bytes.mid(start, end - start));
        if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}
} // namespace

bool IsAtomSequence(const QString& name) {
    static const QString specials = QStringLiteral("!#$%&'*+-/=?^_`{|}~");
    bool atomStarted = false;
    for (QChar c : name) {
        if (c == ' ') {
            // One blank between two atoms; others would not be read back as typed.
            if (!atomStarted) return false;
            atomStarted = false;
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   specials.contains(c)) {
            atomStarted = true;
        } else {
            return false;
        }
    }
    return atomStarted;
}

QString QuotedDisplayName(const QString& name) {
    if (name.isEmpty() || IsAtomSequence(name)) return name;
    QString quoted = QStringLiteral("\"");
    for (QChar c : name) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

BodyTransfer TypedBodyTransfer(const TmsCustomMessage& message, bool eightBitTransport) {
    if (message.CharSet() == csISO8859) return BodyTransfer::QuotedPrintable;
    bool ascii = true;
    for (const QString& line : message.Body()) {
        // The bytes of each text line that travels (a line end inside starts another), with the
        // full stop added in front of one that begins with one.
        qsizetype bytes = 0;
        for (QChar c : line) {
            const char16_t u = c.unicode();
            if (u == '\r' || u == '\n') {
                bytes = 0;
                continue;
            }
            if (bytes == 0 && u == '.') ++bytes;
            bytes += u < 0x80 ? 1 : u < 0x800 || c.isSurrogate() ? 2 : 3;
            if (bytes > kLongestTypedLine) return BodyTransfer::QuotedPrintable;
            if (u >= 0x80) ascii = false;
        }
    }
    if (ascii) return BodyTransfer::SevenBit;
    return eightBitTransport ? BodyTransfer::EightBit : BodyTransfer::QuotedPrintable;
}

void TmsCustomEncoder::WriteAddressLine(const QString& start, const TmsMailAddress& address,
                                        const QString& end) {
    const QString tail = " <" + address.Address() + end;
    // Text that looks like an encoded-word would be read as one: it goes encoded too.
    const QString& name = address.Name();
    if (IsAscii(name) && !HasControl(name) && !name.contains(QLatin1String("=?"))) {
        WriteLine(start + QuotedDisplayName(address.Name()) + tail);
        return;
    }
    // Receivers read raw 8-bit header text as garbage: non-ASCII names go as encoded-words.
    for (const QString& line : FoldedEncodedField(start, address.Name(), tail, HeaderText::Phrase))
        WriteLine(line);
}

TmsCustomEncoder::TmsCustomEncoder(TmsCustomMessage& message, QIODevice& stream)
    : message_(message), stream_(stream) {
    for (const QString& line : message.Body()) {
        if (line.size() >= kLongLine) {
            longLines_ = true;
            break;
        }
    }
}

void TmsCustomEncoder::WriteLine(const QByteArray& line) {
    qsizetype start = 0;
    const qsizetype n = line.size();
    for (;;) {
        qsizetype end = start;
        while (end < n && line[end] != '\r' && line[end] != '\n')
            ++end;
        if (start < n && line[start] == '.') pending_ += '.';
        pending_.append(line.constData() + start, end - start);
        pending_ += "\r\n";
        if (end >= n) break;
        if (line[end] == '\r' && end + 1 < n && line[end + 1] == '\n') ++end;
        start = end + 1;
    }
    if (pending_.size() >= kWriteBlock) {
        stream_.write(pending_);
        pending_.clear();
    }
}

void TmsCustomEncoder::Encode() {
    stream_.seek(0);
    pending_.clear();
    WriteHeaders();
    if (message_.Encoding() == meUU) {
        WriteUuMessage();
    } else {
        const QString type = message_.ContentType();
        const TmsAttList& atts = message_.Attachments();
        if (type == "multipart/mixed") {
            WriteMultipart(false);
        } else if (type == "multipart/alternative") {
            WriteMultipart(true);
        } else if (type == "text/plain") {
            if (atts.Count() == 0)
                WritePlainText();
            else
                WriteSingleAttachment(atts.Items(0), false);
        } else if (type == "text/html" || type == "text/rtf") {
            // A formatted body given only as its "_htmbody.htm"/"_rtfbody.rtf" attachment goes out
            // as that attachment, so its text is not lost.
            if (message_.Body().isEmpty() && atts.Count() == 1)
                WriteSingleAttachment(atts.Items(0), false);
            else
                WriteFormattedBody();
        } else if (atts.Count() > 0) {
            WriteSingleAttachment(atts.Items(0), false);
        } else {
            WritePlainText();
        }
    }
    stream_.write(pending_);
    pending_.clear();
}

void TmsCustomEncoder::WriteCommonTail() {
    static const char* const standard[] = {"From",
                                           "To",
                                           "CC",
                                           "BCC",
                                           "Return-Receipt-To",
                                           "X-Priority",
                                           "Subject",
                                           "Mime-Version",
                                           "Content-Type",
                                           "X-Encoding",
                                           "Content-Transfer-Encoding"};
    TmsHeaders& headers = message_.Headers();
    for (const char* field : standard)
        headers.RemoveField(QString::fromLatin1(field));
    for (const QString& line : headers.Lines())
        WriteLine(line);
    const QString& subject = message_.Subject();
    if (!subject.isEmpty()) {
        if (IsAscii(subject)) {
            WriteLine("Subject:  " + subject);
        } else {
            for (const QString& line :
                 FoldedEncodedField("Subject:  ", subject, QString(), HeaderText::Unstructured))
                WriteLine(line);
        }
    }
    if (message_.Encoding() == meMIME) WriteLine(QByteArrayLiteral("Mime-Version: 1.0"));
}

QByteArray TmsCustomEncoder::BodyBytes() const {
    const QString text = message_.Body().join("\r\n");
    if (message_.CharSet() != csISO8859) return text.toUtf8();
    // The bytes must be what the label says: Latin-1, one "?" for each character outside it.
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        bytes += c.unicode() <= 0xFF ? char(c.unicode()) : '?';
    }
    return bytes;
}

void TmsCustomEncoder::WriteQuotedPrintable(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QByteArrayList lines;
    TQuotedPrintable(buffer, lines).Encode();
    for (const QByteArray& line : lines)
        WriteLine(line);
}

void TmsCustomEncoder::WriteUuMessage() {
    WriteLine(QByteArray());
    for (const QString& line : message_.Body())
        WriteLine(line);
    const TmsAttList& atts = message_.Attachments();
    for (int i = 0; i < atts.Count(); ++i) {
        WriteLine(QByteArray());
        WriteLine("begin 600 " + atts.Items(i).BaseName());
        for (const QByteArray& line : EncodeUuLines(atts.Items(i).Data()))
            WriteLine(line);
        WriteLine(QByteArrayLiteral("`"));
        WriteLine(QByteArrayLiteral("end"));
    }
}

bool TmsCustomEncoder::BodyIsAscii() const {
    for (const QString& line : message_.Body())
        if (!IsAscii(line)) return false;
    return true;
}

void TmsCustomEncoder::WritePlainText() {
    if (message_.BodyAsTyped()) {
        const BodyTransfer transfer = TypedBodyTransfer(message_, message_.EightBitTransport());
        if (transfer != BodyTransfer::QuotedPrintable) {
            const bool eightBit = transfer == BodyTransfer::EightBit;
            WriteLine(QString("Content-Type: text/plain; charset=") +
                      Quoted(eightBit ? "utf-8" : "us-ascii"));
            WriteLine(QByteArray(eightBit ? "Content-Transfer-Encoding: 8bit"
                                          : "Content-Transfer-Encoding: 7bit"));
            WriteLine(QByteArray());
            for (const QString& line : message_.Body())
                WriteLine(line);
            return;
        }
    }
    const bool iso = message_.CharSet() == csISO8859;
    // A body labelled US-ASCII must be ASCII: other text goes as UTF-8, quoted-printable, which
    // passes any relay unchanged.
    const bool utf8 = !iso && !BodyIsAscii();
    const bool qp = iso || utf8 || longLines_;
    WriteLine(QString("Content-Type: text/plain; charset=") + Quoted(iso    ? "iso-8859-1"
                                                                     : utf8 ? "utf-8"
                                                                            : "us-ascii"));
    WriteLine(QByteArray(qp ? "Content-Transfer-Encoding: quoted-printable"
                            : "Content-Transfer-Encoding: 7bit"));
    WriteLine(QByteArray());
    if (qp) {
        WriteQuotedPrintable(BodyBytes());
    } else {
        for (const QString& line : message_.Body())
            WriteLine(line);
    }
}

void TmsCustomEncoder::WriteFormattedBody() {
    const bool html = message_.ContentType() == "text/html";
    QString type = html ? "Content-Type: text/html" : "Content-Type: text/rtf";
    if (message_.CharSet() == csISO8859) type += "; charset=" + Quoted("iso-8859-1");
    WriteLine(type);
    WriteLine(QByteArrayLiteral("Content-Transfer-Encoding: quoted-printable"));
    WriteLine(QByteArray());
    QByteArray copy = BodyBytes();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QByteArrayList lines;
    TQuotedPrintable(buffer, lines).Encode();
    QStringList encoded;
    for (const QByteArray& line : lines) {
        WriteLine(line);
        encoded << QString::fromLatin1(line);
    }
    message_.SetBody(encoded);
}

void TmsCustomEncoder::WriteAttachmentBytes(const TmsAttItem& item) {
    switch (item.Encoding()) {
    case aeNone:
        for (const QByteArray& line : SplitLines(item.Data()))
            WriteLine(line);
        break;
    case aeQuotedPrintable:
        WriteQuotedPrintable(item.Data());
        break;
    default:
        for (const QByteArray& line : EncodeBase64Lines(item.Data()))
            WriteLine(line);
        break;
    }
}

void TmsCustomEncoder::WriteSingleAttachment(const TmsAttItem& item, bool plainPartHeaders) {
    const QString name = item.BaseName();
    const QString lower = name.toLower();
    const bool htmBody = lower == "_htmbody.htm";
    const bool rtfBody = lower == "_rtfbody.rtf";
    if (htmBody)
        WriteLine(QByteArrayLiteral("Content-Type: text/html"));
    else if (rtfBody)
        WriteLine(QByteArrayLiteral("Content-Type: text/rtf"));
    else if (plainPartHeaders)
        WriteLine("Content-Type: " + item.ContentType());
    else
        WriteLine("Content-Type: " + item.ContentType() + "; name=" + Quoted(name));
    WriteLine("Content-Transfer-Encoding: " + EncodingName(item.Encoding()));
    if (!htmBody && !rtfBody && !plainPartHeaders)
        WriteLine("Content-Disposition: attachment; filename=" + Quoted(name));
    WriteLine(QByteArray());
    WriteAttachmentBytes(item);
}

void TmsCustomEncoder::WriteMultipart(bool alternativeMode) {
    const QString boundary = Boundary();
    WriteLine("Content-Type: " + message_.ContentType() + "; boundary=" + Quoted(boundary));
    WriteLine(QByteArray());
    WriteLine(QByteArrayLiteral("This is a multipart message in MIME format"));
    auto openPart = [this](const QString& b) {
        WriteLine(QByteArray());
        WriteLine("--" + b);
    };
    if (!message_.Body().isEmpty()) {
        openPart(boundary);
        WritePlainText();
    }
    const TmsAttList& atts = message_.Attachments();
    int next = 0;
    if (!alternativeMode && atts.Count() > 0 && IsAltName(atts.Items(0).BaseName())) {
        const QString inner = Boundary();
        openPart(boundary);
        WriteLine("Content-Type:  multipart/alternative; boundary=" + Quoted(inner));
        WriteLine(QByteArrayLiteral("Content-Transfer-Encoding: 7bit"));
        while (next < atts.Count() && IsAltName(atts.Items(next).BaseName())) {
            openPart(inner);
            WriteSingleAttachment(atts.Items(next), true);
            WriteLine(QByteArray());
            ++next;
        }
        WriteLine("--" + inner + "--");
    }
    for (; next < atts.Count(); ++next) {
        openPart(boundary);
        WriteSingleAttachment(atts.Items(next), alternativeMode);
        WriteLine(QByteArray());
    }
    WriteLine("--" + boundary + "--");
}

void TmsMessageEncoder::WriteAddressBlock(const QString& field, const TmsAddressList& list) {
    for (int i = 0; i < list.Count(); ++i)
        WriteAddressLine(i == 0 ? Padded(field + ':') : QString(10, ' '), list.Items(i),
                         i + 1 < list.Count() ? ">," : ">");
}

void TmsMessageEncoder::WriteHeaders() {
    WriteAddressLine(Padded("From:"), mail_.Sender(), ">");
    WriteAddressBlock("To", mail_.Recipients());
    WriteAddressBlock("CC", mail_.CC());
    if (mail_.ReturnReceipt()) WriteLine("Return-Receipt-To: <" + mail_.Sender().Address() + ">");
    if (mail_.Priority() == ptLow) WriteLine(QByteArrayLiteral("X-Priority: 5"));
    if (mail_.Priority() == ptHigh) WriteLine(QByteArrayLiteral("X-Priority: 1"));
    WriteCommonTail();
}

void TmsArticleEncoder::WriteHeaders() {
    const TmsMailAddress& from = article_.Sender();
    WriteLine(Padded("From:") + from.Name() + " <" + from.Address() + ">");
    WriteLine("Newsgroups: " + article_.NewsGroups());
    WriteCommonTail();
}
