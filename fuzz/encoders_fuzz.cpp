// Quoted-printable, base64 and uuencode: decoding what was encoded gives the input back, and the
// decoders take any bytes without failing other than by their error.
#include "fuzzinput.h"
#include "mail/lineencoders.h"
#include "mail/quotedprintable.h"
#include "platform/exception.h"

#include <QBuffer>

namespace {
// What the quoted-printable decoder gives for a text the encoder took: every paragraph (ended by
// CR LF, a lone CR or a lone LF) followed by CR LF, except one ending in the byte 26.
QByteArray ParagraphsWithCrLf(const QByteArray& text) {
    QByteArray out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const QByteArray paragraph = text.mid(pos, end - pos);
        out += paragraph;
        if (paragraph.isEmpty() || paragraph.back() != char(26)) out += "\r\n";
        pos = end;
        if (pos < text.size())
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    }
    return out;
}

QByteArray QuotedPrintableDecode(QByteArrayList lines) {
    QByteArray decoded;
    QBuffer stream(&decoded);
    stream.open(QIODevice::WriteOnly);
    TQuotedPrintable(stream, lines).Decode();
    return decoded;
}

void QuotedPrintableRoundTrip(const QByteArray& text) {
    QByteArray input = text;
    QBuffer source(&input);
    source.open(QIODevice::ReadOnly);
    QByteArrayList lines;
    try {
        TQuotedPrintable(source, lines).Encode();
    } catch (const Exception&) {
        return; // a paragraph too large for the encoder
    }
    for (const QByteArray& line : lines)
        Require(line.size() <= TQuotedPrintable::PieceLength * 3 + 1,
                "an encoded line is too long");
    RequireEqual(QuotedPrintableDecode(lines), ParagraphsWithCrLf(text),
                 "quoted-printable decode(encode(x))");
    // The one-buffer encoder gives the same lines.
    RequireEqual(EncodeQuotedPrintableText(text, '\n'),
                 lines.join('\n') + (lines.isEmpty() ? "" : "\n"),
                 "both quoted-printable encoders agree");
}

void LineRoundTrips(const QByteArray& data) {
    const QByteArray base64Chunk = data.left(57), uuChunk = data.left(45);
    RequireEqual(DecodeBase64Line(EncodeBase64Line(base64Chunk)), base64Chunk,
                 "base64 decode(encode(x))");
    RequireEqual(DecodeUuLine(EncodeUuLine(uuChunk)), uuChunk, "uuencode decode(encode(x))");
    QByteArray joined;
    for (const QByteArray& line : EncodeBase64Lines(data))
        joined += DecodeBase64Line(line);
    RequireEqual(joined, data, "base64 lines decode(encode(x))");
    joined.clear();
    for (const QByteArray& line : EncodeUuLines(data))
        joined += DecodeUuLine(line);
    RequireEqual(joined, data, "uuencode lines decode(encode(x))");
}

void DecodersTakeAnyBytes(const QByteArray& bytes) {
    try {
        DecodeBase64Line(bytes);
    } catch (const Exception&) {
    }
    const QByteArray uu = DecodeUuLine(bytes);
    Require(uu.size() <= 64, "a uuencoded line gives at most 63 bytes");
    try {
        QuotedPrintableDecode(bytes.split('\n'));
    } catch (const Exception&) {
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const QByteArray bytes = input.Rest();
    QuotedPrintableRoundTrip(bytes);
    LineRoundTrips(bytes);
    DecodersTakeAnyBytes(bytes);
    return 0;
}
