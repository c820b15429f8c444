#include "mail/shorttext.h"

QString ShortText(const QString& text) {
    QString clean = text;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return CutShortText(clean);
}
