#pragma once
// One accepted message as the sent log records it.
#include <QDateTime>
#include <QString>

struct SentEntry {
    QDateTime when;    // the moment the server accepted the message, local time
    QString kind;      // "domain", "host", "contact" (or "message" for the companion's send)
    QString name;      // the record name as the subject carries it; may be empty
    QString recipient; // the registry's mailbox
    QString messageId; // with its angle brackets
    QString reply;     // the server's reply to the final "."
    // The key that signed the message, "0x" and 16 hex digits with its holder in parentheses;
    // empty for a message that was not signed.
    QString signer = QString();
};
