#pragma once
// A check for replies: the mailbox is asked only for the messages that arrived since the oldest
// registration still waiting (IMAP SINCE) and whose UID is above the last one read under the
// folder's UIDVALIDITY; only their header and the first 256 KiB of their text are fetched, with
// BODY.PEEK, so nothing is marked read. Each one is read, matched to its registration, and a
// match is kept in sent/replies.log and sent/replies/UID.eml; the rest are left alone.
//
// The window runs a check with StartReplyCheck (off the window thread, the result delivered on
// it) after taking the password from the keyring (mailboxpassword.h) on the window thread.
#include "platform/result.h"
#include "platform/tasks.h"
#include "replies/registrationstates.h"
#include "replies/replysettings.h"

#include <QDateTime>
#include <QObject>
#include <functional>
#include <vector>

struct ReplyCheckRequest {
    QString sentFolder; // SentFolderPath() for the window and the companion
    MailboxEndpoint mailbox;
    QString password;
};

struct FoundReply {
    SentRegistration registration;
    ReplyLogEntry entry;
};

struct ReplyCheckOutcome {
    bool mailboxRead = false;      // false: no registration waits, so the mailbox was not asked
    int fetched = 0;               // messages fetched and read
    std::vector<FoundReply> found; // the replies matched, in the order read
};

// Runs the check; blocks while the server answers (use StartReplyCheck from the window). Only one
// check runs on a sent folder at a time: another one fails with a sentence saying so.
Result<ReplyCheckOutcome> CheckForReplies(const ReplyCheckRequest& request,
                                          const CancelToken& token);
void StartReplyCheck(QObject* context, const CancelToken& token, ReplyCheckRequest request,
                     std::function<void(Result<ReplyCheckOutcome>)> done);

// Signs in, selects the folder and signs out: "Signed in to SERVER as USER; folder F holds N
// messages." or why not.
Result<QString> TestMailbox(const MailboxEndpoint& mailbox, const QString& password,
                            const CancelToken& token);
void StartMailboxTest(QObject* context, const CancelToken& token, MailboxEndpoint mailbox,
                      QString password, std::function<void(Result<QString>)> done);

// For the status line: "Replies: example.com done, ns1.example.com refused." or "No new
// replies." (names through the peer-text filter).
QString NewRepliesText(const ReplyCheckOutcome& outcome);
