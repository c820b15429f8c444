#include "platform/peertext.h"

#include <QList>

namespace {
bool Invisible(char32_t c) {
    if (c == 0x00AD || c == 0x034F || c == 0x180E) return true; // soft hyphen, joiners, separator
    if (c == 0x061C || c == 0x200E || c == 0x200F) return true; // bidirectional marks
    if (c >= 0x202A && c <= 0x202E) return true;                // embeddings and overrides
    if (c >= 0x2066 && c <= 0x2069) return true;                // isolates
    if (c >= 0x200B && c <= 0x200D) return true; // zero-width space, non-joiner, joiner
    if (c >= 0x2060 && c <= 0x2064) return true; // word joiner, invisible operators
    if (c >= 0x206A && c <= 0x206F) return true; // deprecated format controls
    if (c == 0xFEFF) return true;                // zero-width no-break space
    if (c >= 0xFFF9 && c <= 0xFFFB) return true; // interlinear annotation
    return c >= 0xE0000 && c <= 0xE007F;         // tag characters: text nobody sees
}

// Whether `c` at `at` is shown as an escape. A CR is a line end only before an LF or at the text's
// end (`lastIsEnd`): alone it returns the cursor, and what follows would be printed over what came
// before.
bool Shown(char32_t c, QStringView text, qsizetype at, PeerTextLines lines, bool lastIsEnd) {
    if (c == '\t') return false;
    if (c == '\n') return lines == PeerTextLines::Escape;
    if (c == '\r') {
        if (lines == PeerTextLines::Escape) return true;
        if (at + 1 == text.size()) return !lastIsEnd;
        return text[at + 1] != QLatin1Char('\n');
    }
    if (c < 0x20 || c == 0x7F) return true;      // C0, DEL
    if (c >= 0x80 && c <= 0x9F) return true;     // C1, U+0085 among them
    if (c == 0x2028 || c == 0x2029) return true; // line and paragraph separators
    if (c >= 0xD800 && c <= 0xDFFF) return true; // a surrogate without its other half
    return Invisible(c);
}

void AppendEscape(QString& out, char32_t c) {
    const QString digits = QString::number(uint(c), 16).toUpper();
    out += c < 0x80 ? "\\x" + digits.rightJustified(2, '0')
                    : "\\u{" + digits.rightJustified(4, '0') + "}";
}

void AppendByteEscape(QString& out, uchar byte) {
    out += "\\x" + QString::number(byte, 16).toUpper().rightJustified(2, '0');
}

// Calls `visit(code point, index, length in UTF-16 units)` for every character of `text`.
template <typename Visit> void ForEachCodePoint(QStringView text, Visit&& visit) {
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        if (!visit(c, i, length)) return;
        i += length;
    }
}

void AppendFiltered(QString& out, QStringView text, PeerTextLines lines, bool lastIsEnd) {
    ForEachCodePoint(text, [&](char32_t c, qsizetype at, qsizetype length) {
        if (Shown(c, text, at, lines, lastIsEnd))
            AppendEscape(out, c);
        else
            out += text.mid(at, length);
        return true;
    });
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
    AppendFiltered(out, text, lines, true);
    return out;
}

QString PeerTextFromBytes(const QByteArray& bytes, PeerTextLines lines) {
    // The valid runs are decoded together, so that a CR ending one run still sees its LF.
    QString valid;
    QList<qsizetype> invalidAt; // offsets into `valid` where an invalid byte stood
    QByteArray invalidBytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = Utf8Length(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        valid += QString::fromUtf8(bytes.constData() + run, i - run);
        invalidAt << valid.size();
        invalidBytes += bytes[i];
        run = ++i;
    }
    valid += QString::fromUtf8(bytes.constData() + run, bytes.size() - run);

    QString out;
    out.reserve(valid.size() + invalidBytes.size() * 4);
    qsizetype from = 0;
    for (qsizetype k = 0; k < invalidAt.size(); ++k) {
        // A CR before an invalid byte is not before an LF.
        AppendFiltered(out, QStringView(valid).mid(from, invalidAt[k] - from), lines, false);
        AppendByteEscape(out, uchar(invalidBytes[k]));
        from = invalidAt[k];
    }
    AppendFiltered(out, QStringView(valid).mid(from), lines, true);
    return out;
}

bool IsPlainPeerText(const QString& text, PeerTextLines lines) {
    bool plain = true;
    ForEachCodePoint(text, [&](char32_t c, qsizetype at, qsizetype) {
        plain = !Shown(c, text, at, lines, true);
        return plain;
    });
    return plain;
}
