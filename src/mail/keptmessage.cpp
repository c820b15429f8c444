#include "mail/keptmessage.h"

#include "mail/msdecoder.h"
#include "mail/msmsg.h"

#include <QBuffer>

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
} // namespace

QStringList KeptMessageLines(const QByteArray& message) {
    QStringList lines;
    for (const QString& field : UnfoldedHeader(message))
        lines << (IsContentType(field) ? field : DecodeEncodedWords(field));
    lines << QString();
    QByteArray copy = message;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TmsMessage decoded;
    DecodeMessageText(decoded, buffer);
    return lines + decoded.Body();
}
