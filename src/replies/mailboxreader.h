#pragma once
// What a check reads of the mailbox: the UIDs above the last one read (under the folder's
// UIDVALIDITY) of the messages that arrived since a day, then their header and the first 256 KiB
// of their text, with BODY.PEEK so that nothing is marked read.
//
// Every command's answer is kept small: the mail library refuses an answer of more than 300 KB as
// it counts, and it counts the rest of what it has read again at every response line (up to a
// TLS record, 16 KB, each time). So UIDs are searched in windows, a FETCH asks for the first
// 16 KB of four messages' header and text at most (4 x 32 KB, and 4 x 16 KB counted again), and
// a longer header or text comes in further commands of one message each.
#include "platform/result.h"
#include "platform/tasks.h"
#include "replies/imapanswer.h"
#include "replies/replystate.h"

#include <QDate>
#include <functional>
#include <vector>

class MailboxSession;

class MailboxReader {
public:
    // The largest header and the largest part of a text that are read.
    static constexpr qint64 kHeaderBytes = 128 * 1024;
    static constexpr qint64 kTextBytes = 256 * 1024;

    MailboxReader(MailboxSession& session, const CancelToken& token)
        : session_(session), token_(token) {}

    // The UIDs above `state.lastUid` of the messages that arrived on `since` or later, ascending.
    // When the folder's UIDVALIDITY is not the one kept, `state` starts afresh under the new one.
    Result<std::vector<quint32>> NewUids(MailboxState& state, const QDate& since);

    // Fetches the messages and hands each one to `take`, in UID order; after every group,
    // `readUpTo` learns the last UID that was taken with every earlier one.
    Done Fetch(const std::vector<quint32>& uids,
               const std::function<Done(const FetchedMessage&)>& take,
               const std::function<Done(quint32)>& readUpTo);

private:
    Result<std::vector<FetchedMessage>> Ask(const QByteArray& command);
    Done CompleteHeader(FetchedMessage& message);
    Done CompleteText(FetchedMessage& message);

    MailboxSession& session_;
    CancelToken token_;
};
