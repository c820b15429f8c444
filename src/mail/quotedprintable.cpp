#include "mail/quotedprintable.h"

#include "platform/exception.h"
#include "platform/wait.h"

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
// How many input bytes pass between two rounds of event processing: often enough to keep the
// window responsive, rarely enough that a large body encodes at full speed.
constexpr qsizetype kEventStride = 256 * 1024;

struct EscapeTable {
    bool escape[256];
    constexpr EscapeTable() : escape() {
        for (int c = 0; c < 256; ++c)
            escape[c] = c < 32 || c == '=' || c >= 128;
    }
};
constexpr EscapeTable kEscape;

// Appends the escaped bytes to `out` (which has room for three bytes each) and returns the end.
char* Escape(const char* data, qsizetype size, char* out) {
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (kEscape.escape[c]) {
            *out++ = '=';
            *out++ = kHex[c >> 4];
            *out++ = kHex[c & 15];
        } else {
            *out++ = char(c);
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

[[noreturn]] void ParagraphTooLarge() {
    throw Exception("Paragraph is too large");
}

// Cuts one paragraph into pieces and hands each encoded line to `sink(begin, end)`.
template <typename Sink> void EncodeParagraph(const char* data, qsizetype size, Sink&& sink) {
    const qsizetype piece = TQuotedPrintable::PieceLength;
    char line[TQuotedPrintable::PieceLength * 3 + 1];
    qsizetype start = 0;
    for (;;) {
        const qsizetype remaining = size - start;
        if (remaining < piece) {
            char* stop = Escape(data + start, remaining, line);
            // A blank that ends a line is dropped by decoders (RFC 2045 6.7 (3)): it goes
            // encoded, so the text read is the text typed. (A tab is always encoded.)
            if (remaining > 0 && data[size - 1] == ' ') {
                stop[-1] = '=';
                *stop++ = '2';
                *stop++ = '0';
            }
            sink(line, stop);
            return;
        }
        // Look back from the character 65 places after the start for a blank; a blank found after
        // the start ends the piece before it and opens the next one.
        qsizetype end = start + piece;
        for (qsizetype k = start + piece; k > start; --k) {
            if (k < size && data[k] == ' ') {
                end = k;
                break;
            }
        }
        char* stop = Escape(data + start, end - start, line);
        *stop++ = '=';
        sink(line, stop);
        start = end;
    }
}

// Walks the paragraphs of `input` (ended by CR LF, a lone CR or a lone LF, or the input's end).
template <typename Sink> void EncodeText(const QByteArray& input, Sink&& sink) {
    const char* data = input.constData();
    const qsizetype size = input.size();
    qsizetype pos = 0;
    qsizetype nextEvents = kEventStride;
    while (pos < size) {
        const char* found = data + pos;
        const char* limit = data + size;
        while (found < limit && *found != '\r' && *found != '\n')
            ++found;
        const qsizetype end = found - data;
        if (end - pos > TQuotedPrintable::MaxParagraph) ParagraphTooLarge();
        EncodeParagraph(data + pos, end - pos, sink);
        pos = end;
        if (pos < size)
            pos += (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n') ? 2 : 1;
        if (pos >= nextEvents) {
            ProcessPendingEvents();
            nextEvents = pos + kEventStride;
        }
    }
}
} // namespace

void EncodeQuotedPrintableParagraph(const char* data, qsizetype size, QByteArrayList& lines) {
    EncodeParagraph(data, size,
                    [&](const char* b, const char* e) { lines.append(QByteArray(b, e - b)); });
}

void TQuotedPrintable::Encode() {
    stream_.seek(0);
    EncodeText(stream_.readAll(),
               [&](const char* b, const char* e) { lines_.append(QByteArray(b, e - b)); });
}

QByteArray EncodeQuotedPrintableText(const QByteArray& input, char lineEnd) {
    QByteArray out;
    out.reserve(input.size() + input.size() / 8 + 64);
    EncodeText(input, [&](const char* b, const char* e) {
        out.append(b, e - b);
        out.append(lineEnd);
    });
    return out;
}

void TQuotedPrintable::Decode() {
    TQuotedPrintableDecoder decoder(
        [&](QByteArrayView decoded) { stream_.write(decoded.data(), decoded.size()); });
    for (const QByteArray& line : lines_) {
        decoder.Feed(line);
        decoder.Feed("\n");
    }
    decoder.Finish();
}

void TQuotedPrintableDecoder::Feed(QByteArrayView text) {
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf('\n');
        if (end < 0) {
            partial_.append(text);
            // No line longer than a paragraph can be decoded: said before it is all held.
            if (partial_.size() > TQuotedPrintable::MaxParagraph + 3) ParagraphTooLarge();
            return;
        }
        if (partial_.isEmpty()) {
            Line(text.first(end));
        } else {
            partial_.append(text.first(end));
            Line(partial_);
            partial_.clear();
        }
        text = text.sliced(end + 1);
    }
}

void TQuotedPrintableDecoder::Finish() {
    if (!partial_.isEmpty()) {
        Line(partial_);
        partial_.clear();
    }
    if (!joined_.isEmpty()) Flush();
}

void TQuotedPrintableDecoder::Line(QByteArrayView line) {
    if (line.endsWith('\r')) line.chop(1);
    const bool soft = line.endsWith('=');
    joined_.append(soft ? line.first(line.size() - 1) : line);
    if (joined_.size() > TQuotedPrintable::MaxParagraph) ParagraphTooLarge();
    if (!soft) Flush();
}

void TQuotedPrintableDecoder::Flush() {
    QByteArray out;
    out.reserve(joined_.size() + 2);
    for (qsizetype i = 0; i < joined_.size(); ++i) {
        if (joined_[i] == '=' && i + 2 < joined_.size()) {
            const int hi = HexValue(joined_[i + 1]);
            const int lo = HexValue(joined_[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += joined_[i];
    }
    if (out.isEmpty() || out.back() != char(26)) out += "\r\n";
    joined_.clear();
    sink_(out);
}

QByteArray DecodeQuotedPrintableText(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size());
    TQuotedPrintableDecoder decoder([&](QByteArrayView decoded) { out.append(decoded); });
    decoder.Feed(text);
    decoder.Finish();
    return out;
}
