#pragma once
// A session with the replies' mailbox through the IMAP module, its failures told in one sentence
// each. Blocking: run it off the window thread; the cancel token ends a wait at once.
#include "platform/result.h"
#include "platform/tasks.h"
#include "replies/replysettings.h"

#include <QByteArray>
#include <memory>

class ImapSession;

// Whether a check's or a test's failure is the server refusing the user name or password of
// `mailbox`: a password that would be refused again, which no check should offer by itself.
bool IsSignInRefusal(const QString& failure, const MailboxEndpoint& mailbox);

class MailboxSession {
public:
    // Loads the module and checks REGISCRIBE_CA_FILE; nothing is sent yet.
    static Result<std::unique_ptr<MailboxSession>> Open(const MailboxEndpoint& mailbox,
                                                        const QString& password);
    ~MailboxSession(); // signs out

    // Sends `command` in the folder (the first one connects, secures, signs in and selects it);
    // every line the server answered, or why not.
    Result<QByteArray> Command(const QByteArray& command, const CancelToken& token);

private:
    MailboxSession(const MailboxEndpoint& mailbox, ImapSession* session);
    MailboxEndpoint mailbox_;
    std::unique_ptr<ImapSession> session_;
};
