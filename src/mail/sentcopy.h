#pragma once
// A copy of every accepted message: the text as it went after DATA, kept as
// sent/YYYYMMDD-HHMMSS-KIND-NAME.eml in the current folder, and one line in sent/sent.log with
// the time, kind, name, recipient, Message-ID, the server's reply to the final "." and, after a
// signed send, the signing key, so that a registrant can show the registry what went out, when,
// and under which queue id. The folder is a private one (see SentFolder).
#include "mail/sententry.h"
#include "mail/sentlogscan.h"
#include "platform/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// The "sent" folder under the current directory, read afresh at every call.
QString SentFolderPath();
// The copy's file name without ".eml": "YYYYMMDD-HHMMSS-KIND-NAME" ("-NAME" left out when the
// name is empty). A name that would make the file name pass 255 bytes is cut between characters
// and "-" and 16 hex digits of the whole name's SHA-256 added, so that long names stay apart.
QString SentFileStem(const SentEntry& entry);
// The sent.log line of an entry, without its line end: the fields separated by a tab, the time
// in ISO 8601 with its zone. Each field passes the filter for text from peers (PeerText), and a
// tab inside a field becomes a blank. The signer is a seventh field, only when there is one, so
// that a log keeps reading in an older version.
QByteArray SentLogLine(const SentEntry& entry);
// The entry of a sent.log line (six fields, or seven with the signer); nothing for a line that
// is not one.
std::optional<SentEntry> ParseSentLogLine(QByteArrayView line);

// Keeps the copy in `folder` (made when missing): the message as a new whole file, then, only
// once that is on the disk, its log line in one write. Returns the copy's path, or why it could
// not be kept (naming the file and the system's reason, or why the folder was refused).
Result<QString> KeepSentCopy(const QString& folder, const SentEntry& entry, const QByteArray& text);
// The lines of `folder`'s sent.log that are entries, newest first, as written. No folder or no
// log is no entry.
Result<QList<QByteArray>> ReadSentLogLines(const QString& folder);
// The same lines as entries.
Result<std::vector<SentEntry>> ReadSentLog(const QString& folder);
// The log in one pass, in the order written, with the count of its damaged lines.
Result<SentLogScan> ScanSentLogOf(const QString& folder);
// The kept message of an entry: the file of its stem that holds the entry's Message-ID.
Result<QByteArray> ReadKeptMessage(const QString& folder, const SentEntry& entry);
