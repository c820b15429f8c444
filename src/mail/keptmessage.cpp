#include "mail/keptmessage.h"

#include "mail/msdecoder.h"
#include "mail/msmsg.h"

#include <QBuffer>
#include <algorithm>

namespace {
// The header fields of `message` one a line: a continuation line joined to its field.
QStringList UnfoldedHeader(const QByteArray& message) {
    QStringList fields;
    for (QByteArray line : message.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) break;
        const QString text = QString::fromUtf8(line);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !fields.isEmpty())
            fields.back() += text;
        else
            fields << text;
    }
    return fields;
}

bool IsContentType(const QString& field) {
    return field.section(':', 0, 0).trimmed().compare("Content-Type", Qt::CaseInsensitive) == 0;
}

// The fields with their values in one column: each name and its colon padded to the longest.
QStringList Aligned(const QStringList& fields) {
    qsizetype width = 0;
    for (const QString& field : fields)
        width = std::max(width, field.indexOf(':'));
    QStringList lines;
    for (const QString& field : fields) {
        const qsizetype colon = field.indexOf(':');
        if (colon < 0) {
            lines << field;
            continue;
        }
        lines << field.left(colon + 1).leftJustified(width + 2) + field.mid(colon + 1).trimmed();
    }
    return lines;
}
} // namespace

QStringList KeptMessageLines(const QByteArray& message) {
    QStringList fields;
    for (const QString& field : UnfoldedHeader(message))
        fields << (IsContentType(field) ? field : DecodeEncodedWords(field));
    QStringList lines = Aligned(fields);
    lines << QString();
    QByteArray copy = message;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TmsMessage decoded;
    DecodeMessageText(decoded, buffer);
    return lines + decoded.Body();
}
