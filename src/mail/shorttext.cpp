#include "mail/shorttext.h"

QString CutText(const QString& text, int limit) {
    if (text.size() <= limit) return text;
    qsizetype end = limit;
    if (end > 0 && text[end - 1].isHighSurrogate()) --end;
    return text.left(end);
}

QString ShortText(const QString& text) {
    QString clean = text;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return CutText(clean);
}
