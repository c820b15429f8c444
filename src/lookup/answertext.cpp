#include "lookup/answertext.h"

#include <utility>

namespace {
// The length of the UTF-8 sequence starting at `p` (within `end`) if it is well formed, else 0.
int SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    int length = 0;
    unsigned min = 0;
    if (c >= 0xC2 && c <= 0xDF)
        length = 2, min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF)
        length = 3, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4)
        length = 4, min = 0x10000;
    else
        return 0;
    if (end - p < length) return 0;
    unsigned value = c & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return length;
}

// Whether `tail` (1 to 3 bytes) can be the start of a well-formed sequence that is cut short.
bool StartsASequence(const unsigned char* p, int available) {
    const unsigned char c = p[0];
    const int length = c >= 0xC2 && c <= 0xDF   ? 2
                       : c >= 0xE0 && c <= 0xEF ? 3
                       : c >= 0xF0 && c <= 0xF4 ? 4
                                                : 0;
    if (length == 0 || available >= length) return false;
    for (int i = 1; i < available; ++i)
        if ((p[i] & 0xC0) != 0x80) return false;
    // The second byte narrows what may follow some lead bytes.
    if (available >= 2) {
        if (c == 0xE0 && p[1] < 0xA0) return false;
        if (c == 0xED && p[1] > 0x9F) return false;
        if (c == 0xF0 && p[1] < 0x90) return false;
        if (c == 0xF4 && p[1] > 0x8F) return false;
    }
    return true;
}

// The length of the valid prefix of `bytes`.
qsizetype ValidPrefix(QByteArrayView bytes) {
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = begin + bytes.size();
    const auto* p = begin;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int n = SequenceLength(p, end);
        if (n == 0) break;
        p += n;
    }
    return p - begin;
}
} // namespace

bool IsValidUtf8(QByteArrayView bytes) {
    return ValidPrefix(bytes) == bytes.size();
}

int IncompleteUtf8Tail(QByteArrayView bytes) {
    const qsizetype valid = ValidPrefix(bytes);
    const qsizetype rest = bytes.size() - valid;
    if (rest < 1 || rest > 3) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + valid;
    return StartsASequence(p, int(rest)) ? int(rest) : 0;
}

QString DecodeAnswerBytes(QByteArrayView bytes) {
    return IsValidUtf8(bytes) ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

QString DecodeAnswerLine(QByteArrayView bytes) {
    QString text = DecodeAnswerBytes(bytes);
    if (text.contains(QLatin1Char('\r'))) text.replace(QLatin1Char('\r'), QChar(0x240D));
    return text;
}

std::optional<QByteArrayView> AnswerText::Line(QByteArrayView piece, bool eol) {
    QByteArrayView line = piece;
    if (!waiting_.isEmpty()) {
        joined_ = waiting_ + piece.toByteArray();
        waiting_.clear();
        line = joined_;
    }
    if (eol) {
        if (lfTerminated_ && line.endsWith('\r')) line.chop(1);
        return line;
    }
    // A piece without its terminator may stop inside a character: its last bytes wait for the
    // next piece.
    if (const int tail = IncompleteUtf8Tail(line); tail > 0) {
        waiting_ = line.last(tail).toByteArray();
        line.chop(tail);
        if (line.isEmpty()) return std::nullopt;
    }
    return line;
}

std::optional<QByteArray> AnswerText::Finish() {
    if (waiting_.isEmpty()) return std::nullopt;
    return std::exchange(waiting_, QByteArray());
}
