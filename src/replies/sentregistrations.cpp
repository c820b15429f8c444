#include "replies/sentregistrations.h"

#include "mail/msdecoder.h"
#include "replies/privatefiles.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace {
// The header block of a kept copy (it stands well within the file's first kilobytes).
QByteArray HeaderOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    QByteArray head = file.read(64 * 1024);
    const qsizetype end = head.indexOf("\r\n\r\n");
    return end < 0 ? head : head.left(end + 2);
}

// The unfolded value of `field` in a header block.
QString FieldIn(const QByteArray& header, const QByteArray& field) {
    const QList<QByteArray> lines = header.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].toLower().startsWith(field.toLower() + ':')) continue;
        QByteArray value = lines[i].mid(field.size() + 1).trimmed();
        for (qsizetype k = i + 1;
             k < lines.size() && (lines[k].startsWith(' ') || lines[k].startsWith('\t')); ++k)
            value += ' ' + lines[k].trimmed();
        return QString::fromUtf8(value);
    }
    return QString();
}

// Message-ID -> subject of every kept copy in the folder.
QHash<QString, QString> KeptSubjects(const QString& sentFolder) {
    QHash<QString, QString> subjects;
    const QDir dir(sentFolder);
    for (const QString& name : dir.entryList({"*.eml"}, QDir::Files)) {
        const QByteArray header = HeaderOf(dir.filePath(name));
        const QString id = FieldIn(header, "Message-ID");
        if (!id.isEmpty())
            subjects.insert(MessageIdKey(id), DecodeEncodedWords(FieldIn(header, "Subject")));
    }
    return subjects;
}
} // namespace

QString MessageIdKey(const QString& messageId) {
    QString id = messageId.trimmed();
    if (id.startsWith('<')) id.remove(0, 1);
    if (id.endsWith('>')) id.chop(1);
    return id.toLower();
}

Result<std::vector<SentRegistration>> ReadSentRegistrations(const QString& sentFolder) {
    Result<QByteArray> log = ReadPrivateFile(QDir(sentFolder).filePath("sent.log"));
    if (!log) return Fail(log.Error());
    std::vector<SentRegistration> registrations;
    for (QByteArray line : log->split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 6) continue;
        SentRegistration r;
        r.when = QDateTime::fromString(QString::fromUtf8(fields[0]), Qt::ISODate);
        r.kind = QString::fromUtf8(fields[1]);
        r.name = QString::fromUtf8(fields[2]);
        r.recipient = QString::fromUtf8(fields[3]);
        r.messageId = QString::fromUtf8(fields[4]);
        if (!r.when.isValid() || MessageIdKey(r.messageId).isEmpty()) continue;
        registrations.push_back(r);
    }
    if (registrations.empty()) return registrations;
    const QHash<QString, QString> subjects = KeptSubjects(sentFolder);
    for (SentRegistration& r : registrations)
        r.subject = subjects.value(MessageIdKey(r.messageId)).trimmed();
    return registrations;
}
