#pragma once
// Quoted-printable transfer encoding of text bodies: encoding a byte stream into text lines of at
// most 65 source characters each (soft breaks with a trailing "="), and the reverse. A blank that
// ends a paragraph is written "=20", since decoders drop white space at the end of a line.
#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QIODevice>
#include <functional>

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

// The decoder of TQuotedPrintable::Decode for text that comes in pieces (a large body, standard
// input): it holds one paragraph at most, so that memory does not grow with the number of lines.
// Lines end at LF (a CR before it dropped); each joined line goes to the sink as Decode writes it.
// A paragraph over MaxParagraph bytes raises "Paragraph is too large".
class TQuotedPrintableDecoder {
public:
    using Sink = std::function<void(QByteArrayView decoded)>;
    explicit TQuotedPrintableDecoder(Sink sink) : sink_(std::move(sink)) {}
    // The next piece of the encoded text, cut anywhere.
    void Feed(QByteArrayView text);
    // The end of the text: a last line without a line end, a paragraph left open.
    void Finish();

private:
    void Line(QByteArrayView line);
    void Flush();
    Sink sink_;
    QByteArray partial_; // a line not yet ended
    QByteArray joined_;  // the soft-broken lines of the paragraph so far
};

// The whole of `text` decoded as above.
QByteArray DecodeQuotedPrintableText(QByteArrayView text);
