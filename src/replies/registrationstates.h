#pragma once
// Every registration sent, with what its replies made of it: the status the window's Status
// column and the companion show, the tracking numbers and tickets kept with it, and its replies.
#include "platform/result.h"
#include "replies/replylog.h"
#include "replies/sentregistrations.h"

#include <QStringList>
#include <vector>

struct RegistrationState {
    SentRegistration registration;
    ReplyStatus status = ReplyStatus::Waiting;
    QStringList numbers;                // tracking numbers and tickets kept with it
    std::vector<ReplyLogEntry> replies; // in the order they were read

    // Not yet done or refused: a reply may still come.
    bool Open() const { return status != ReplyStatus::Done && status != ReplyStatus::Refused; }
    // Takes a reply in: a done or refused verdict settles the status (the latest one counts), a
    // received one settles a waiting or answered status, an answer only a waiting one.
    void Apply(const ReplyLogEntry& reply);
    // Waiting since more than 24 hours at `now`.
    bool WaitingLong(const QDateTime& now) const;
    // "waiting", "waiting for more than 24 hours", "received NIC-961209.42", "done", "refused",
    // "answered".
    QString StatusText(const QDateTime& now) const;
    // The reply that settled the status: the last one whose verdict it is, else the last one; null
    // when none came.
    const ReplyLogEntry* DecidingReply() const;
};

// The registrations of sent.log, oldest first, with the replies of replies.log applied.
Result<std::vector<RegistrationState>> ReadRegistrationStates(const QString& sentFolder);
