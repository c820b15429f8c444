#include "platform/idna.h"

#include "platform/idnabackend.h"
#include "platform/module.h"

#include <QStringList>

namespace {
// The IDNA module, loaded at the first name that is not ASCII.
IdnaBackend* Backend(QString& problem) {
    Result<IdnaBackend*> backend =
        SharedModuleInterface<IdnaBackend>(IdnaModuleName, IdnaModuleEntry);
    if (!backend) problem = "international names cannot be converted: " + backend.Error();
    return backend.ValueOr(nullptr);
}

std::optional<QString> Convert(const QString& name, bool toAscii, QString* problem = nullptr) {
    QString why;
    if (name.isEmpty()) {
        if (problem) *problem = QStringLiteral("the name is empty");
        return std::nullopt;
    }
    IdnaBackend* backend = Backend(why);
    QByteArray output;
    // UTS #46 with the host-name (STD3) rules: what registries and resolvers accept.
    const bool ok = backend && (toAscii ? backend->ToAscii(name.toUtf8(), true, output, why)
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

std::optional<QString> QueryForWire(const QString& typed, QString* problem) {
    if (IsAscii(typed)) return typed;
    // Each blank-separated word that is a name (a dot and a letter outside ASCII) goes as its
    // A-label; a leading "=" or "!" (a server's query flag) stays as typed.
    QStringList words = typed.split(' ');
    for (QString& word : words) {
        if (IsAscii(word) || !word.contains('.')) continue;
        qsizetype start = 0;
        while (start < word.size() && (word[start] == '=' || word[start] == '!'))
            ++start;
        QString reason;
        const std::optional<QString> label = ToALabel(word.mid(start), &reason);
        if (!label) {
            if (problem)
                *problem = "The name " + word.mid(start) +
                           " is not a valid international domain name: " + reason;
            return std::nullopt;
        }
        word = word.left(start) + *label;
    }
    return words.join(' ');
}
