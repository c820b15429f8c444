#pragma once
// The replies kept with the registrations: sent/replies.log, one line per matched reply (the
// registration's Message-ID, the reply's Message-ID, its date, its verdict, the tracking number
// or ticket it gave, and the file holding its fetched text, separated by tabs), and that text in
// sent/replies/UID.eml, so the user still has it when the mailbox is cleaned.
#include "platform/result.h"
#include "replies/replyverdict.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

struct ReplyLogEntry {
    QString registrationId; // with its angle brackets
    QString replyId;        // "-" when the reply had none
    QDateTime date;         // the reply's date
    ReplyStatus verdict = ReplyStatus::Answered;
    QString number; // empty for none
    QString file;   // relative to the sent folder: "replies/4711.eml"
};

// The log line, without its line end; a tab or line end inside a field becomes a blank.
QByteArray ReplyLogLine(const ReplyLogEntry& entry);
std::optional<ReplyLogEntry> ParseReplyLogLine(const QByteArray& line);

// The entries in the order they were written; no log is no entry.
Result<std::vector<ReplyLogEntry>> ReadReplyLog(const QString& sentFolder);
Done AppendReplyLog(const QString& sentFolder, const ReplyLogEntry& entry);

// Keeps a reply's text as replies/UID.eml (replies/UID-2.eml ... when another text has that name:
// a folder whose UIDs were renumbered reuses them). Returns the file relative to the sent folder.
Result<QString> KeepReplyText(const QString& sentFolder, quint32 uid, const QByteArray& text);
