#pragma once
// One reply read whole: its fields and text, its verdict, and its signature checked. For a reply
// kept in sent/replies/, and for any saved message (the companion's --file).
#include "platform/result.h"
#include "platform/tasks.h"
#include "replies/replylog.h"
#include "replies/replysignature.h"
#include "replies/replyverdict.h"

#include <functional>
#include <optional>
#include <vector>

struct ReplyReading {
    ReplyMessage message;
    ReplyVerdict verdict;
    ReplySignature signature;
};

// Reads `raw`; a signed reply is checked by GnuPG meanwhile (run it off the window thread).
ReplyReading ReadReply(const QByteArray& raw, const QDateTime& arrived = QDateTime());
// A saved message file (at most 16 MiB are read).
Result<ReplyReading> ReadReplyFile(const QString& path);
// The text kept for a line of replies.log.
Result<ReplyReading> ReadKeptReply(const QString& sentFolder, const ReplyLogEntry& entry);
// The same off the window thread (a signature check waits for GnuPG); `done` runs on it.
void StartReadingKeptReply(QObject* context, const CancelToken& token, const QString& sentFolder,
                           const ReplyLogEntry& entry,
                           std::function<void(Result<ReplyReading>)> done);

// The verdict as lines to show, peers' text made safe: the signature's line, every object's line
// (marked done or refused) with its errors one level in, then the reply's own lines.
struct VerdictLine {
    QString text;
    int depth = 0;
    std::optional<ReplyStatus> mark; // an object's result
};
std::vector<VerdictLine> VerdictLines(const ReplyReading& reading);
