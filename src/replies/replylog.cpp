#include "replies/replylog.h"

#include "replies/privatefiles.h"

#include <QDir>

namespace {
const char kLogName[] = "replies.log";
const char kFolderName[] = "replies";

QByteArray Field(QString text) {
    for (QChar& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text.isEmpty() ? QByteArray("-") : text.toUtf8();
}

QString Value(const QByteArray& field) {
    return field == "-" ? QString() : QString::fromUtf8(field);
}
} // namespace

QByteArray ReplyLogLine(const ReplyLogEntry& entry) {
    const QDateTime local = entry.date.toLocalTime();
    const QString date = entry.date.isValid()
                             ? local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate)
                             : QString();
    return Field(entry.registrationId) + '\t' + Field(entry.replyId) + '\t' + Field(date) + '\t' +
           Field(StatusWord(entry.verdict)) + '\t' + Field(entry.number) + '\t' + Field(entry.file);
}

std::optional<ReplyLogEntry> ParseReplyLogLine(const QByteArray& line) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 6) return std::nullopt;
    const std::optional<ReplyStatus> verdict = StatusFromWord(Value(fields[3]));
    if (!verdict || Value(fields[0]).isEmpty()) return std::nullopt;
    ReplyLogEntry entry;
    entry.registrationId = Value(fields[0]);
    entry.replyId = Value(fields[1]);
    entry.date = QDateTime::fromString(Value(fields[2]), Qt::ISODate);
    entry.verdict = *verdict;
    entry.number = Value(fields[4]);
    entry.file = Value(fields[5]);
    return entry;
}

Result<std::vector<ReplyLogEntry>> ReadReplyLog(const QString& sentFolder) {
    Result<QByteArray> text = ReadPrivateFile(QDir(sentFolder).filePath(kLogName));
    if (!text) return Fail(text.Error());
    std::vector<ReplyLogEntry> entries;
    for (QByteArray line : text->split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (const auto entry = ParseReplyLogLine(line)) entries.push_back(*entry);
    }
    return entries;
}

Done AppendReplyLog(const QString& sentFolder, const ReplyLogEntry& entry) {
    return AppendPrivateLine(QDir(sentFolder).filePath(kLogName), ReplyLogLine(entry) + '\n');
}

Result<QString> KeepReplyText(const QString& sentFolder, quint32 uid, const QByteArray& text) {
    const QString folder = QDir(sentFolder).filePath(kFolderName);
    if (Done made = MakePrivateFolder(folder); !made) return Fail(made.Error());
    for (int n = 1;; ++n) {
        const QString name =
            QString::number(uid) + (n > 1 ? "-" + QString::number(n) : "") + ".eml";
        const QString path = QDir(folder).filePath(name);
        const Result<bool> written = WriteNewPrivateFile(path, text);
        if (!written) return Fail(written.Error());
        if (written.Value()) return QString(kFolderName) + '/' + name;
        // The same text kept before (the folder read again) is not kept twice.
        Result<QByteArray> existing = ReadPrivateFile(path);
        if (existing && existing.Value() == text) return QString(kFolderName) + '/' + name;
    }
}
