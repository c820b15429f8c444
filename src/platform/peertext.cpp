#include "platform/peertext.h"

namespace {
bool Shown(char32_t c, PeerTextLines lines) {
    if (c == '\t') return false;
    if (c == '\n' || c == '\r') return lines == PeerTextLines::Escape;
    if (c < 0x20 || c == 0x7F) return true;                     // C0, DEL
    if (c >= 0x80 && c <= 0x9F) return true;                    // C1, U+0085 among them
    if (c == 0x2028 || c == 0x2029) return true;                // line and paragraph separators
    if (c == 0x061C || c == 0x200E || c == 0x200F) return true; // bidirectional marks
    if (c >= 0x202A && c <= 0x202E) return true;                // embeddings and overrides
    if (c >= 0x2066 && c <= 0x2069) return true;                // isolates
    if (c >= 0x200B && c <= 0x200D) return true; // zero-width space, non-joiner, joiner
    if (c == 0x2060 || c == 0xFEFF) return true; // word joiner, zero-width no-break space
    return false;
}

void AppendEscape(QString& out, char32_t c) {
    const QString digits = QString::number(uint(c), 16).toUpper();
    out += c < 0x80 ? "\\x" + digits.rightJustified(2, '0')
                    : "\\u{" + digits.rightJustified(4, '0') + "}";
}

void AppendByteEscape(QString& out, uchar byte) {
    out += "\\x" + QString::number(byte, 16).toUpper().rightJustified(2, '0');
}

void AppendFiltered(QString& out, QStringView text, PeerTextLines lines) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text.mid(i, 2);
            ++i;
            continue;
        }
        if (Shown(c, lines))
            AppendEscape(out, c);
        else
            out += text[i];
    }
}

// The length of the valid UTF-8 sequence at `at`, or 0.
int Utf8Length(const QByteArray& bytes, qsizetype at) {
    const auto b = [&](qsizetype i) { return uchar(bytes[i]); };
    const uchar lead = b(at);
    int length = lead < 0x80                    ? 1
                 : lead >= 0xC2 && lead <= 0xDF ? 2
                 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                : 0;
    if (length == 0 || at + length > bytes.size()) return 0;
    for (int k = 1; k < length; ++k)
        if ((b(at + k) & 0xC0) != 0x80) return 0;
    if (length == 3) {
        const uchar second = b(at + 1);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0)) return 0;
    }
    if (length == 4) {
        const uchar second = b(at + 1);
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) return 0;
    }
    return length;
}
} // namespace

QString PeerText(const QString& text, PeerTextLines lines) {
    if (IsPlainPeerText(text, lines)) return text;
    QString out;
    out.reserve(text.size() + 16);
    AppendFiltered(out, text, lines);
    return out;
}

QString PeerTextFromBytes(const QByteArray& bytes, PeerTextLines lines) {
    QString out;
    out.reserve(bytes.size());
    qsizetype run = 0; // the start of the valid UTF-8 not yet appended
    auto flush = [&](qsizetype end) {
        if (end > run)
            AppendFiltered(out, QString::fromUtf8(bytes.constData() + run, end - run), lines);
    };
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = Utf8Length(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        flush(i);
        AppendByteEscape(out, uchar(bytes[i]));
        run = ++i;
    }
    flush(bytes.size());
    return out;
}

bool IsPlainPeerText(const QString& text, PeerTextLines lines) {
    for (QChar c : text)
        if (Shown(c.unicode(), lines)) return false;
    return true;
}
