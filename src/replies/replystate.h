#pragma once
// How far each mailbox has been read: sent/replies.state, one line per mailbox ("imap://USER@
// SERVER/FOLDER", its UIDVALIDITY and the last UID read, separated by tabs). A UID is only
// meaningful with the UIDVALIDITY it was read under: when the server changes it, the folder is
// read again from its start.
#include "platform/result.h"

#include <QString>

struct MailboxState {
    quint32 uidValidity = 0; // 0: never read
    quint32 lastUid = 0;
};

// "imap://jane@mail.example.org/INBOX".
QString MailboxStateKey(const QString& user, const QString& server, const QString& folder);

// The state kept for `key`; a missing file or line is a mailbox never read.
Result<MailboxState> ReadMailboxState(const QString& sentFolder, const QString& key);
// Replaces the line of `key`, keeping every other mailbox's.
Done WriteMailboxState(const QString& sentFolder, const QString& key, const MailboxState& state);
