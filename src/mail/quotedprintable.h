#pragma once
// Quoted-printable transfer encoding of text bodies: encoding a byte stream into text lines of at
// most 65 source characters each (soft breaks with a trailing "="), and the reverse. A blank that
// ends a paragraph is written "=20", since decoders drop white space at the end of a line.
#include <QByteArray>
#include <QByteArrayList>
#include <QIODevice>

class TQuotedPrintable {
public:
    // The encoder reads `stream` and appends to `lines`; the decoder reads `lines` and writes to
    // `stream`. Neither is owned.
    TQuotedPrintable(QIODevice& stream, QByteArrayList& lines) : stream_(stream), lines_(lines) {}

    // Reads the stream from its start to its end and appends the encoded lines. A paragraph (the
    // text between line ends) longer than 24575 bytes fails with "Paragraph is too large"; the
    // lines appended before it stay.
    void Encode();
    // Joins soft-broken lines, turns "=XX" escapes back into bytes and writes every joined line
    // followed by CR LF (except a line ending in the byte 26).
    void Decode();

    static constexpr int MaxParagraph = 24575;
    static constexpr int PieceLength = 65;

private:
    QIODevice& stream_;
    QByteArrayList& lines_;
};

// The encoded lines of `input`, each followed by `lineEnd`, in one buffer (for large inputs: no
// line objects).
QByteArray EncodeQuotedPrintableText(const QByteArray& input, char lineEnd);
// Encodes one paragraph (no line ends inside) and appends its lines.
void EncodeQuotedPrintableParagraph(const char* data, qsizetype size, QByteArrayList& lines);
