#pragma once
// Mailing a message of objects to a registry's robot: the body built and, with a key, signed in
// the OpenPGP cleartext form at send time; a maintainer password, where the registry takes one,
// on a password: line that goes out in the message and nowhere else; Date and Message-ID as on
// every message; the accepted text kept in sent/ (kind "object"), its password: line left out.
#include "mail/msmsgcls.h"
#include "objects/objectmessage.h"
#include "objects/registry.h"
#include "platform/result.h"

#include <optional>

class TmsSMTP;

struct ObjectMail {
    Registry registry;
    std::vector<MessageObject> objects;
    QString signingKey;              // a key id or fingerprint; empty: the message is not signed
    QString passphraseCommand;       // answers GnuPG's agent in loopback mode (the companion)
    std::optional<QString> password; // the maintainer password; never written anywhere
};

struct ObjectMailReceipt {
    QString subject;
    QString messageId;       // with its angle brackets
    QString reply;           // the server's reply to the final "."
    QString farewellProblem; // what went wrong at QUIT after the message was accepted
    QString copyProblem;     // why the copy in sent/ could not be kept; empty when it was
};

// Whether the message proves itself to the robot: a signature, or a password where the registry
// takes passwords by mail (never one that holds a line break).
Done CheckMailAuthentication(const ObjectMail& mail);
// The body as it will go: password: line, then the objects, signed when a key is given.
Result<QStringList> ObjectMailBody(const ObjectMail& mail, const RuleTable& rules);
// Sends the message from `sender` to the robot through `smtp` (its server, security and event
// handlers set by the caller) and keeps the copy. The failure of any step in its own words;
// nothing is kept then.
Result<ObjectMailReceipt> SendObjectMail(TmsSMTP& smtp, const TmsMailAddress& sender,
                                         const ObjectMail& mail, const RuleTable& rules);
