#pragma once
// Reading what an IMAP server answered (the transcript the IMAP module hands back): the folder's
// UIDVALIDITY, the UIDs a UID SEARCH found, and the messages a UID FETCH sent. Responses are
// read with their literals, so a line inside a message's text is never taken for a response.
#include "platform/result.h"

#include <QByteArray>
#include <QDateTime>
#include <optional>
#include <vector>

// The folder's UIDVALIDITY, from the selection's "* OK [UIDVALIDITY n]".
std::optional<quint32> UidValidityIn(const QByteArray& transcript);

// The UID the next message will get, from the selection's "* OK [UIDNEXT n]".
std::optional<quint32> UidNextIn(const QByteArray& transcript);

// The UID the next message will get, from the selection's "* OK [UIDNEXT n]".
std::optional<quint32> UidNextIn(const QByteArray& transcript);

// The numbers of every "* SEARCH" response, in the order given.
std::vector<quint32> SearchResultIn(const QByteArray& transcript);

struct FetchedMessage {
    quint32 uid = 0;
    QDateTime arrived; // INTERNALDATE
    qint64 size = -1;  // RFC822.SIZE
    bool hasHeader = false;
    QByteArray header;   // BODY[HEADER] (or its start), its empty last line included
    QByteArray text;     // BODY[TEXT] (or the part of it that was asked for)
    qint64 textFrom = 0; // where that part begins in the text
    // The message as a mailbox holds it, cut after the part of its text that was fetched.
    QByteArray Message() const { return header + text; }
};

// The FETCH responses that carry a UID, in the order sent. Fails when a response is cut short
// (a literal longer than what follows it).
Result<std::vector<FetchedMessage>> FetchResultIn(const QByteArray& transcript);

// "UID 5:7,9,12" style sets: the UIDs in ascending order, runs written as ranges.
QByteArray UidSet(std::vector<quint32> uids);

// An IMAP date, "09-Dec-2026", for SEARCH SINCE.
QByteArray ImapSearchDate(const QDate& date);

// A folder's name as IMAP writes it (RFC 3501 modified UTF-7): ASCII stays, other characters
// become "&...-" runs; "&" itself is "&-".
QByteArray ImapMailboxName(const QString& folder);
