#include "platform/cuttext.h"

QString CutText(const QString& text, qsizetype limit) {
    if (text.size() <= limit) return text;
    qsizetype end = limit;
    if (end > 0 && text[end - 1].isHighSurrogate()) --end;
    return text.left(end);
}
