#include "mail/sentcopy.h"

#include "mail/sentfolder.h"
#include "platform/peertext.h"

#include <QCryptographicHash>
#include <QDir>

namespace {
const char kLogName[] = "sent.log";
const char kExtension[] = ".eml";
// The longest file name a folder takes, less ".eml" and room for "-9999" (two copies of one name
// within a second).
constexpr qsizetype kLongestStem = 255 - 4 - 5;
constexpr qsizetype kHashDigits = 16;

QString LogField(const QString& field) {
    return PeerText(field, PeerTextLines::Escape).replace('\t', ' ');
}

QString IsoTime(const QDateTime& when) {
    const QDateTime local = when.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// The start of `text` that takes at most `bytes` bytes in UTF-8, never splitting a character.
QString Utf8Prefix(const QString& text, qsizetype bytes) {
    qsizetype used = 0, end = 0;
    while (end < text.size()) {
        const qsizetype length =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate()
                ? 2
                : 1;
        const qsizetype size = text.mid(end, length).toUtf8().size();
        if (used + size > bytes) break;
        used += size;
        end += length;
    }
    return text.left(end);
}

// Whether the file `name` is a copy of `stem`: the stem itself, or it with "-N" added.
bool IsCopyOf(const QString& name, const QString& stem) {
    if (!name.endsWith(QLatin1String(kExtension)) || !name.startsWith(stem)) return false;
    const QString rest = name.mid(stem.size(), name.size() - stem.size() - 4);
    if (rest.isEmpty()) return true;
    if (rest.size() < 2 || rest[0] != '-') return false;
    for (qsizetype i = 1; i < rest.size(); ++i)
        if (!rest[i].isDigit()) return false;
    return true;
}

// Whether the header block of a kept message carries `messageId`.
bool HoldsMessageId(const QByteArray& message, const QString& messageId) {
    const qsizetype end = message.indexOf("\r\n\r\n");
    return message.left(end < 0 ? message.size() : end + 2)
        .contains("\r\nMessage-ID: " + messageId.toUtf8() + "\r\n");
}
} // namespace

QString SentFolderPath() {
    return QDir::currentPath() + "/sent";
}

QString SentFileStem(const SentEntry& entry) {
    const QString start = entry.when.toLocalTime().toString("yyyyMMdd-HHmmss") + '-' + entry.kind;
    if (entry.name.isEmpty()) return start;
    const QString whole = start + '-' + entry.name;
    if (whole.toUtf8().size() <= kLongestStem) return whole;
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(entry.name.toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(kHashDigits));
    const qsizetype room = kLongestStem - start.toUtf8().size() - 2 - kHashDigits;
    return start + '-' + Utf8Prefix(entry.name, room) + '-' + hash;
}

QByteArray SentLogLine(const SentEntry& entry) {
    const QStringList fields{IsoTime(entry.when),       LogField(entry.kind),
                             LogField(entry.name),      LogField(entry.recipient),
                             LogField(entry.messageId), LogField(entry.reply)};
    return fields.join('\t').toUtf8();
}

std::optional<SentEntry> ParseSentLogLine(const QByteArray& line) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 6) return std::nullopt;
    const QDateTime when = QDateTime::fromString(QString::fromUtf8(fields[0]), Qt::ISODate);
    if (!when.isValid()) return std::nullopt;
    return SentEntry{when.toLocalTime(),           QString::fromUtf8(fields[1]),
                     QString::fromUtf8(fields[2]), QString::fromUtf8(fields[3]),
                     QString::fromUtf8(fields[4]), QString::fromUtf8(fields[5])};
}

Result<QString> KeepSentCopy(const QString& folder, const SentEntry& entry,
                             const QByteArray& text) {
    Result<SentFolder> opened = SentFolder::Open(folder, SentFolder::Missing::Make);
    if (!opened) return Fail(opened.Error());
    SentFolder& sent = opened.Value();
    const Result<QString> name = sent.AddFile(SentFileStem(entry), kExtension, text);
    // A log line without its copy would promise a message that is not there.
    if (!name) return Fail(name.Error());
    const Done logged = sent.AppendLine(kLogName, SentLogLine(entry) + '\n');
    if (!logged) return Fail(logged.Error());
    return sent.FilePath(*name);
}

Result<QList<QByteArray>> ReadSentLogLines(const QString& folder) {
    const Result<SentFolder> sent = SentFolder::Open(folder, SentFolder::Missing::Accept);
    if (!sent) return Fail(sent.Error());
    QList<QByteArray> lines;
    if (!sent->Holds(kLogName)) return lines;
    const Result<QByteArray> log = sent->ReadFile(kLogName);
    if (!log) return Fail(log.Error());
    for (QByteArray line : log->split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (ParseSentLogLine(line)) lines.prepend(line);
    }
    return lines;
}

Result<std::vector<SentEntry>> ReadSentLog(const QString& folder) {
    const Result<QList<QByteArray>> lines = ReadSentLogLines(folder);
    if (!lines) return Fail(lines.Error());
    std::vector<SentEntry> entries;
    for (const QByteArray& line : *lines)
        entries.push_back(*ParseSentLogLine(line));
    return entries;
}

Result<QByteArray> ReadKeptMessage(const QString& folder, const SentEntry& entry) {
    const Result<SentFolder> sent = SentFolder::Open(folder, SentFolder::Missing::Accept);
    if (!sent) return Fail(sent.Error());
    const QString stem = SentFileStem(entry);
    for (const QString& name : sent->Names()) {
        if (!IsCopyOf(name, stem)) continue;
        const Result<QByteArray> message = sent->ReadFile(name);
        if (message && HoldsMessageId(*message, entry.messageId)) return message;
    }
    return Fail("The kept message of " + entry.kind + " " + entry.name + " is no longer in " +
                folder);
}
