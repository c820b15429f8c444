#include "mail/quotedprintable.h"

#include "platform/exception.h"
#include "platform/wait.h"

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
// How many input bytes pass between two rounds of event processing: often enough to keep the
// window responsive, rarely enough that a large body encodes at full speed.
constexpr qsizetype kEventStride = 256 * 1024;

bool NeedsEscape(unsigned char c) {
    return c < 32 || c == '=' || c >= 128;
}

void AppendEscaped(QByteArray& line, const char* data, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        if (NeedsEscape(c)) {
            line += '=';
            line += kHex[c >> 4];
            line += kHex[c & 15];
        } else {
            line += char(c);
        }
    }
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
} // namespace

void EncodeQuotedPrintableParagraph(const char* data, qsizetype size, QByteArrayList& lines) {
    const qsizetype piece = TQuotedPrintable::PieceLength;
    qsizetype start = 0;
    for (;;) {
        qsizetype remaining = size - start;
        if (remaining < piece) {
            QByteArray last;
            last.reserve(remaining * 3);
            AppendEscaped(last, data + start, remaining);
            lines.append(last);
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
        QByteArray line;
        line.reserve((end - start) * 3 + 1);
        AppendEscaped(line, data + start, end - start);
        line += '=';
        lines.append(line);
        start = end;
    }
}

void TQuotedPrintable::Encode() {
    stream_.seek(0);
    const QByteArray input = stream_.readAll();
    const char* data = input.constData();
    const qsizetype size = input.size();
    qsizetype pos = 0;
    qsizetype nextEvents = kEventStride;
    while (pos < size) {
        // A paragraph runs to the next line end (CR LF, or a lone CR or LF) or to the stream's end.
        qsizetype end = pos;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (end - pos > MaxParagraph) ParagraphTooLarge();
        EncodeQuotedPrintableParagraph(data + pos, end - pos, lines_);
        pos = end;
        if (pos < size) {
            if (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n')
                pos += 2;
            else
                ++pos;
        }
        if (pos >= nextEvents) {
            ProcessPendingEvents();
            nextEvents = pos + kEventStride;
        }
    }
}

void TQuotedPrintable::Decode() {
    QByteArray joined;
    auto flush = [&] {
        QByteArray out;
        out.reserve(joined.size() + 2);
        for (qsizetype i = 0; i < joined.size(); ++i) {
            if (joined[i] == '=' && i + 2 < joined.size()) {
                int hi = HexValue(joined[i + 1]);
                int lo = HexValue(joined[i + 2]);
                if (hi >= 0 && lo >= 0) {
                    out += char(hi * 16 + lo);
                    i += 2;
                    continue;
                }
            }
            out += joined[i];
        }
        if (out.isEmpty() || out.back() != char(26)) out += "\r\n";
        stream_.write(out);
        joined.clear();
    };
    for (qsizetype n = 0; n < lines_.size(); ++n) {
        const QByteArray& line = lines_[n];
        bool soft = line.endsWith('=');
        joined += soft ? line.left(line.size() - 1) : line;
        if (joined.size() > MaxParagraph) ParagraphTooLarge();
        if (!soft) flush();
    }
    if (!joined.isEmpty()) flush();
}
