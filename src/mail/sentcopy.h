#pragma once
// A copy of every accepted message: the text as it went after DATA, kept as
// sent/YYYYMMDD-HHMMSS-KIND-NAME.eml in the current folder, and one line in sent/sent.log with
// the time, kind, name, recipient, Message-ID and the server's reply to the final ".", so that a
// registrant can show the registry what went out, when, and under which queue id.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

struct SentEntry {
    QDateTime when;    // the send moment, local time
    QString kind;      // "domain", "host", "contact" (or "message" for the companion's send)
    QString name;      // the record name; may be empty
    QString recipient; // the registry's mailbox
    QString messageId; // with its angle brackets
    QString reply;     // the server's reply to the final "."
};

// The "sent" folder under the current directory, read afresh at every call.
QString SentFolderPath();
// "YYYYMMDD-HHMMSS-KIND-NAME" ("-NAME" left out when the name is empty).
QString SentFileStem(const SentEntry& entry);
// The sent.log line of an entry, without its line end: the fields separated by a tab, the time
// in ISO 8601 with its zone. A tab or line end inside a field becomes a blank.
QByteArray SentLogLine(const SentEntry& entry);
// The entry of a sent.log line; false for a line that is not one.
bool ParseSentLogLine(const QByteArray& line, SentEntry& entry);

// Keeps the copy in `folder` (made when missing): the message as a whole file, then its log line
// in one write. Returns an empty text when both were written, else the reason in words.
QString KeepSentCopy(const QString& folder, const SentEntry& entry, const QByteArray& text);
// The lines of `folder`'s sent.log that are entries, newest first, as written. Raises the file
// error when a log that exists cannot be read; no log is no entry.
QList<QByteArray> ReadSentLogLines(const QString& folder);
// The same lines as entries.
std::vector<SentEntry> ReadSentLog(const QString& folder);
// The kept message of an entry (its file holds the entry's Message-ID), or an empty text.
QString KeptMessagePath(const QString& folder, const SentEntry& entry);
