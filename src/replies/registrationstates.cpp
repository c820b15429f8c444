#include "replies/registrationstates.h"

#include <QHash>

void RegistrationState::Apply(const ReplyLogEntry& reply) {
    replies.push_back(reply);
    if (!reply.number.isEmpty() && !numbers.contains(reply.number)) numbers << reply.number;
    switch (reply.verdict) {
    case ReplyStatus::Done:
    case ReplyStatus::Refused:
        status = reply.verdict;
        break;
    case ReplyStatus::Received:
        if (Open()) status = ReplyStatus::Received;
        break;
    case ReplyStatus::Answered:
        if (status == ReplyStatus::Waiting) status = ReplyStatus::Answered;
        break;
    case ReplyStatus::Waiting:
        break;
    }
}

bool RegistrationState::WaitingLong(const QDateTime& now) const {
    return status == ReplyStatus::Waiting && registration.when.secsTo(now) > 24 * 3600;
}

QString RegistrationState::StatusText(const QDateTime& now) const {
    if (WaitingLong(now)) return QStringLiteral("waiting for more than 24 hours");
    if (status == ReplyStatus::Received && !numbers.isEmpty())
        return StatusWord(status) + ' ' + numbers.back();
    return StatusWord(status);
}

const ReplyLogEntry* RegistrationState::DecidingReply() const {
    for (auto it = replies.rbegin(); it != replies.rend(); ++it)
        if (it->verdict == status) return &*it;
    return replies.empty() ? nullptr : &replies.back();
}

Result<std::vector<RegistrationState>> ReadRegistrationStates(const QString& sentFolder) {
    Result<std::vector<SentRegistration>> sent = ReadSentRegistrations(sentFolder);
    if (!sent) return Fail(sent.Error());
    std::vector<RegistrationState> states;
    QHash<QString, size_t> byId;
    for (const SentRegistration& registration : sent.Value()) {
        byId.insert(MessageIdKey(registration.messageId), states.size());
        states.push_back({registration, ReplyStatus::Waiting, {}, {}});
    }
    if (states.empty()) return states;
    Result<std::vector<ReplyLogEntry>> log = ReadReplyLog(sentFolder);
    if (!log) return Fail(log.Error());
    for (const ReplyLogEntry& entry : log.Value())
        if (const auto it = byId.find(MessageIdKey(entry.registrationId)); it != byId.end())
            states[*it].Apply(entry);
    return states;
}
