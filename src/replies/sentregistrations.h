#pragma once
// The registrations that were sent, as the replies need them: sent/sent.log's entries with the
// subject each was mailed under (read from its kept copy, found by its Message-ID). Kept apart
// from the writer of those files, so that it reads what any version of it wrote.
#include "platform/result.h"

#include <QDateTime>
#include <QString>
#include <vector>

struct SentRegistration {
    QDateTime when;    // the send moment
    QString kind;      // "domain", "host", "contact", ...
    QString name;      // the record's name
    QString recipient; // the registry's mailbox
    QString messageId; // with its angle brackets
    QString subject;   // empty when the kept copy is missing
};

// In the log's order (oldest first). No log is no registration; a log that cannot be read fails.
Result<std::vector<SentRegistration>> ReadSentRegistrations(const QString& sentFolder);

// A Message-ID's text between its angle brackets, in lower case, for comparing.
QString MessageIdKey(const QString& messageId);
