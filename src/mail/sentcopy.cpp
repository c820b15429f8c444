#include "mail/sentcopy.h"

#include "platform/atomicfile.h"
#include "platform/fileerror.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace {
const char kLogName[] = "sent.log";

QString OneLine(QString text) {
    for (QChar& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

QString IsoTime(const QDateTime& when) {
    const QDateTime local = when.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// Whether the file at `path` is the kept copy of the message `messageId`.
bool HoldsMessageId(const QString& path, const QString& messageId) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    // The field stands in the header block, well within its first kilobytes.
    const QByteArray head = file.read(64 * 1024);
    const qsizetype end = head.indexOf("\r\n\r\n");
    return head.left(end < 0 ? head.size() : end)
        .contains("\r\nMessage-ID: " + messageId.toUtf8() + "\r\n");
}
} // namespace

QString SentFolderPath() {
    return QDir::currentPath() + "/sent";
}

QString SentFileStem(const SentEntry& entry) {
    QString stem = entry.when.toLocalTime().toString("yyyyMMdd-HHmmss") + '-' + entry.kind;
    if (!entry.name.isEmpty()) stem += '-' + entry.name;
    return stem;
}

QByteArray SentLogLine(const SentEntry& entry) {
    const QStringList fields{IsoTime(entry.when), entry.kind,      entry.name,
                             entry.recipient,     entry.messageId, entry.reply};
    QStringList clean;
    for (const QString& field : fields)
        clean << OneLine(field);
    return clean.join('\t').toUtf8();
}

bool ParseSentLogLine(const QByteArray& line, SentEntry& entry) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 6) return false;
    const QDateTime when = QDateTime::fromString(QString::fromUtf8(fields[0]), Qt::ISODate);
    if (!when.isValid()) return false;
    entry.when = when.toLocalTime();
    entry.kind = QString::fromUtf8(fields[1]);
    entry.name = QString::fromUtf8(fields[2]);
    entry.recipient = QString::fromUtf8(fields[3]);
    entry.messageId = QString::fromUtf8(fields[4]);
    entry.reply = QString::fromUtf8(fields[5]);
    return true;
}

QString KeepSentCopy(const QString& folder, const SentEntry& entry, const QByteArray& text) {
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0 && errno != EEXIST)
        return FileErrorMessage(errno);
    QString problem;
    // Two sends of one name within a second keep both copies.
    const QString stem = QDir(folder).filePath(SentFileStem(entry));
    QString path = stem + ".eml";
    for (int n = 2; QFile::exists(path); ++n)
        path = stem + '-' + QString::number(n) + ".eml";
    if (!ReplaceFileAtomically(path, text)) problem = FileErrorMessage(errno);
    if (!AppendLineAtomically(QDir(folder).filePath(kLogName), SentLogLine(entry) + '\n') &&
        problem.isEmpty())
        problem = FileErrorMessage(errno);
    return problem;
}

QList<QByteArray> ReadSentLogLines(const QString& folder) {
    QFile file(QDir(folder).filePath(kLogName));
    QList<QByteArray> lines;
    if (!file.exists()) return lines;
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) RaiseFileError(errno ? errno : EACCES);
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        SentEntry entry;
        if (ParseSentLogLine(line, entry)) lines.prepend(line);
    }
    return lines;
}

std::vector<SentEntry> ReadSentLog(const QString& folder) {
    std::vector<SentEntry> entries;
    for (const QByteArray& line : ReadSentLogLines(folder)) {
        SentEntry entry;
        ParseSentLogLine(line, entry);
        entries.push_back(entry);
    }
    return entries;
}

QString KeptMessagePath(const QString& folder, const SentEntry& entry) {
    const QString stem = SentFileStem(entry);
    const QStringList candidates =
        QDir(folder).entryList({stem + ".eml", stem + "-*.eml"}, QDir::Files, QDir::Name);
    for (const QString& name : candidates) {
        const QString path = QDir(folder).filePath(name);
        if (HoldsMessageId(path, entry.messageId)) return path;
    }
    return QString();
}
