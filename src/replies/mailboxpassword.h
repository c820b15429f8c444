#pragma once
// The mailbox password, kept like the mail server's: in the desktop's Secret Service, service
// "Regiscribe", key "imap://" + user + "@" + the "Server" text; never in a file. Each call waits
// for the keyring's answer (at most ten seconds) with the event queue flowing: call them on the
// window thread (or the companion's one thread) before the check goes off it.
#include "platform/result.h"

#include <QString>
#include <optional>

// "imap://jane@mail.example.org:993".
QString MailboxPasswordKey(const QString& user, const QString& server);

// The stored password, nothing when none is stored, or why the keyring could not say.
Result<std::optional<QString>> ReadMailboxPassword(const QString& user, const QString& server);
Done StoreMailboxPassword(const QString& user, const QString& server, const QString& password);
// Forgetting a password that is not stored succeeds.
Done ClearMailboxPassword(const QString& user, const QString& server);
