#include "replies/replyreading.h"

#include "platform/peertext.h"
#include "replies/privatefiles.h"

#include <QDir>
#include <QFile>

namespace {
constexpr qint64 kLargestReply = 16LL << 20;

QString Safe(const QString& text) {
    return PeerText(text, PeerTextLines::Escape);
}
} // namespace

ReplyReading ReadReply(const QByteArray& raw, const QDateTime& arrived) {
    ReplyReading reading;
    reading.message = ReadReplyMessage(raw, arrived);
    reading.verdict = ReadVerdict(reading.message);
    reading.signature = CheckReplySignature(reading.message);
    return reading;
}

Result<ReplyReading> ReadReplyFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail("The file " + path + " could not be read: " + file.errorString() + ".");
    return ReadReply(file.read(kLargestReply));
}

Result<ReplyReading> ReadKeptReply(const QString& sentFolder, const ReplyLogEntry& entry) {
    const QString path = QDir(sentFolder).filePath(entry.file);
    if (entry.file.isEmpty() || entry.file.contains("..") || QDir::isAbsolutePath(entry.file))
        return Fail("The reply's file \"" + Safe(entry.file) + "\" is not in the sent folder.");
    Result<QByteArray> raw = ReadPrivateFile(path, kLargestReply);
    if (!raw) return Fail(raw.Error());
    if (raw->isEmpty()) return Fail("The reply's file " + path + " is missing.");
    return ReadReply(raw.Value(), entry.date);
}

void StartReadingKeptReply(QObject* context, const CancelToken& token, const QString& sentFolder,
                           const ReplyLogEntry& entry,
                           std::function<void(Result<ReplyReading>)> done) {
    Tasks::Run<Result<ReplyReading>>(
        context, token,
        [sentFolder, entry](const CancelToken&) { return ReadKeptReply(sentFolder, entry); },
        std::move(done));
}

std::vector<VerdictLine> VerdictLines(const ReplyReading& reading) {
    std::vector<VerdictLine> lines;
    if (!reading.signature.line.isEmpty()) lines.push_back({reading.signature.line, 0, {}});
    for (const ObjectResult& object : reading.verdict.objects) {
        lines.push_back({Safe(object.line), 0, object.result});
        for (const QString& error : object.errors)
            lines.push_back({Safe(error), 1, {}});
    }
    for (const QString& line : reading.verdict.lines)
        lines.push_back({Safe(line), 0, {}});
    return lines;
}
