#include "platform/idna.h"

#include "platform/idnabackend.h"
#include "platform/module.h"

namespace {
// The IDNA module, loaded at the first name that is not ASCII.
IdnaBackend* Backend(QString& problem) {
    static QString why;
    static IdnaBackend* backend = ModuleInterface<IdnaBackend>(IdnaModuleName, IdnaModuleEntry, &why);
    if (!backend) problem = "international names cannot be converted: " + why;
    return backend;
}

std::optional<QString> Convert(const QString& name, bool toAscii, QString* problem = nullptr) {
    QString why;
    if (name.isEmpty()) {
        if (problem) *problem = QStringLiteral("the name is empty");
        return std::nullopt;
    }
    IdnaBackend* backend = Backend(why);
    QByteArray output;
    const bool ok = backend && (toAscii ? backend->ToAscii(name.toUtf8(), false, output, why)
                                        : backend->ToUnicode(name.toUtf8(), output, why));
    if (!ok) {
        if (problem) *problem = why;
        return std::nullopt;
    }
    return QString::fromUtf8(output);
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
