#include "platform/idna.h"

#include <cstdlib>
#include <idn2.h>

namespace {
std::optional<QString> Convert(const QString& name, bool toAscii, QString* problem = nullptr) {
    if (name.isEmpty()) {
        if (problem) *problem = QStringLiteral("the name is empty");
        return std::nullopt;
    }
    const QByteArray input = name.toUtf8();
    char* output = nullptr;
    const int flags = IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL;
    const int rc = toAscii ? idn2_to_ascii_8z(input.constData(), &output, flags)
                           : idn2_to_unicode_8z8z(input.constData(), &output, 0);
    if (rc != IDN2_OK || !output) {
        if (output) idn2_free(output);
        if (problem) *problem = QString::fromUtf8(idn2_strerror(rc));
        return std::nullopt;
    }
    QString result = QString::fromUtf8(output);
    idn2_free(output);
    return result;
}
} // namespace

bool IsAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

std::optional<QString> ToALabel(const QString& name, QString* problem) {
    return Convert(name, true, problem);
}

std::optional<QString> ToULabel(const QString& name) {
    return Convert(name, false);
}

QString QueryForWire(const QString& typed) {
    if (IsAscii(typed)) return typed;
    return ToALabel(typed).value_or(typed);
}
