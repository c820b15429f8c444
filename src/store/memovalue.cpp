#include "store/memovalue.h"

namespace {
bool IsBlank(QChar c) {
    return c == ' ' || c == '\t';
}
} // namespace

QString EncodeMemoValue(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    const bool blankEnds = !out.isEmpty() && (IsBlank(out.front()) || IsBlank(out.back()));
    const bool quoted =
        out.size() >= 2 && (out.front() == '"' || out.front() == '\'') && out.back() == out.front();
    return blankEnds || quoted ? '"' + out + '"' : out;
}

QString DecodeMemoValue(const QString& stored) {
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        QChar c = stored[i];
        if (c == '\\' && i + 1 < stored.size()) {
            QChar next = stored[i + 1];
            if (next == '\\' || next == 'r' || next == 'n') {
                out += next == '\\' ? QChar('\\') : next == 'r' ? QChar('\r') : QChar('\n');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}
