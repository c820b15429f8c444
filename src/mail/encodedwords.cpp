#include "mail/encodedwords.h"

#include <vector>

namespace {
const QString kPrefix = QStringLiteral("=?UTF-8?B?");
const QString kSuffix = QStringLiteral("?=");
// The start of a line before the first word is at most this long ("Subject:  ", "From:     ").
constexpr int kLongestStart = 10;

// Characters a phrase may carry outside quotes (RFC 5322 atext).
bool IsAtext(QChar c) {
    return c.isLetterOrNumber() || QStringLiteral("!#$%&'*+-/=?^_`{|}~").contains(c);
}

// Whether a blank-free word must go encoded.
bool NeedsEncoding(const QString& word, HeaderText kind) {
    if (word.contains(QStringLiteral("=?"))) return true;
    for (QChar c : word) {
        if (c.unicode() >= 0x80 || c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
        if (kind == HeaderText::Phrase && !IsAtext(c)) return true;
    }
    return false;
}

QString Word(const QByteArray& bytes) {
    return kPrefix + QString::fromLatin1(bytes.toBase64()) + kSuffix;
}
} // namespace

QStringList EncodedWords(const QString& text, int maxWordLength) {
    // Base64 turns every 3 bytes into 4 characters: the bytes one word may carry.
    const int room = maxWordLength - int(kPrefix.size() + kSuffix.size());
    const qsizetype maxBytes = std::max(room / 4, 1) * 3;
    QStringList words;
    QByteArray chunk;
    qsizetype afterBlank = -1; // bytes of `chunk` up to and with its last blank
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            length = 2;
        const QByteArray bytes = text.mid(i, length).toUtf8();
        if (chunk.size() + bytes.size() > maxBytes && !chunk.isEmpty()) {
            const qsizetype cut = afterBlank > 0 ? afterBlank : chunk.size();
            words << Word(chunk.left(cut));
            chunk.remove(0, cut);
            afterBlank = -1;
        }
        chunk += bytes;
        if (text[i] == ' ') afterBlank = chunk.size();
        i += length - 1;
    }
    if (!chunk.isEmpty()) words << Word(chunk);
    return words;
}

QStringList FoldedEncodedField(const QString& start, const QString& text, const QString& tail,
                               HeaderText kind) {
    // The pieces, one blank apart: bare words, and the encoded-words of each run of words that
    // need encoding (its blanks go inside, since decoders drop the space between encoded-words).
    std::vector<QString> pieces;
    const QStringList words = text.split(' ');
    for (qsizetype i = 0; i < words.size();) {
        if (!NeedsEncoding(words[i], kind)) {
            pieces.push_back(words[i++]);
            continue;
        }
        qsizetype end = i + 1;
        while (end < words.size() && (NeedsEncoding(words[end], kind) || words[end].isEmpty()) &&
               !(end + 1 == words.size() && words[end].isEmpty()))
            ++end;
        for (const QString& w :
             EncodedWords(words.mid(i, end - i).join(' '), kFoldedLineLimit - kLongestStart))
            pieces.push_back(w);
        i = end;
    }
    QStringList lines;
    QString line = start;
    for (size_t n = 0; n < pieces.size(); ++n) {
        const QString piece = n == 0 ? pieces[n] : ' ' + pieces[n];
        if (n > 0 && line.size() + piece.size() > kFoldedLineLimit && !line.trimmed().isEmpty()) {
            lines << line;
            line = ' ' + pieces[n];
        } else {
            line += piece;
        }
    }
    if (!tail.isEmpty() && line.size() + tail.size() > kFoldedLineLimit &&
        !line.trimmed().isEmpty()) {
        lines << line;
        line = QString();
    }
    line += tail;
    lines << line;
    return lines;
}
