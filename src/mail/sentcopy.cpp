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
    QStringList fields{IsoTime(entry.when),       LogField(entry.kind),      LogField(entry.name),
                       LogField(entry.recipient), LogField(entry.messageId), LogField(entry.reply)};
    if (!entry.signer.isEmpty()) fields << LogField(entry.signer);
    return fields.join('\t').toUtf8();
}

std::optional<SentEntry> ParseSentLogLine(QByteArrayView line) {
    SentLogScan scan;
    scan.bytes = line.toByteArray();
    SentLogRow row;
    if (!ScanSentLogLine(scan.bytes, 0, row)) return std::nullopt;
    return scan.Entry(row);
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

Result<SentLogScan> ScanSentLogOf(const QString& folder) {
    const Result<SentFolder> sent = SentFolder::Open(folder, SentFolder::Missing::Accept);
    if (!sent) return Fail(sent.Error());
    if (!sent->Holds(kLogName)) return SentLogScan();
    Result<QByteArray> log = sent->ReadFile(kLogName);
    if (!log) return Fail(log.Error());
    return ScanSentLog(std::move(log).Value());
}

Result<QList<QByteArray>> ReadSentLogLines(const QString& folder) {
    const Result<SentLogScan> scan = ScanSentLogOf(folder);
    if (!scan) return Fail(scan.Error());
    QList<QByteArray> lines;
    lines.reserve(qsizetype(scan->rows.size()));
    for (auto row = scan->rows.rbegin(); row != scan->rows.rend(); ++row)
        lines << scan->Line(*row).toByteArray();
    return lines;
}

Result<std::vector<SentEntry>> ReadSentLog(const QString& folder) {
    const Result<SentLogScan> scan = ScanSentLogOf(folder);
    if (!scan) return Fail(scan.Error());
    std::vector<SentEntry> entries;
    entries.reserve(scan->rows.size());
    for (auto row = scan->rows.rbegin(); row != scan->rows.rend(); ++row)
        entries.push_back(scan->Entry(*row));
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
