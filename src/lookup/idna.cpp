#include "lookup/idna.h"

#include <cstdlib>
#include <idn2.h>

namespace {
bool IsAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

std::optional<QString> Convert(const QString& name, bool toAscii) {
    if (name.isEmpty()) return std::nullopt;
    const QByteArray input = name.toUtf8();
    char* output = nullptr;
    const int flags = IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL;
    const int rc = toAscii ? idn2_to_ascii_8z(input.constData(), &output, flags)
                           : idn2_to_unicode_8z8z(input.constData(), &output, 0);
    if (rc != IDN2_OK || !output) {
        if (output) idn2_free(output);
        return std::nullopt;
    }
    QString result = QString::fromUtf8(output);
    idn2_free(output);
    return result;
}
} // namespace

std::optional<QString> ToALabel(const QString& name) {
    return Convert(name, true);
}

std::optional<QString> ToULabel(const QString& name) {
    return Convert(name, false);
}

QString QueryForWire(const QString& typed) {
    if (IsAscii(typed)) return typed;
    return ToALabel(typed).value_or(typed);
}
