#include "replies/replymatching.h"

#include <QRegularExpression>

namespace {
constexpr int kQuotedLines = 100;
constexpr qint64 kAnswerWindowSecs = 7 * 24 * 3600;
// A reply stamped a little before the registration (clocks differ) is still its reply.
constexpr qint64 kClockSlackSecs = 3600;

// The words of a line that may be Message-IDs, as MessageIdKey gives them.
QStringList IdWords(const QString& line) {
    static const QRegularExpression split("[\\s<>\"'(),;\\[\\]]+");
    QStringList words;
    for (const QString& word : line.split(split, Qt::SkipEmptyParts))
        if (word.contains('@')) words << word.toLower();
    return words;
}

bool SameOrRelatedDomain(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return false;
    return a == b || a.endsWith('.' + b) || b.endsWith('.' + a);
}

// `text` holds `word` with no letter, digit or dot joined to either side.
bool HoldsWord(const QString& text, const QString& word) {
    if (word.isEmpty()) return false;
    for (qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(word, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + word.size();
        const auto joins = [&](qsizetype i) {
            return i >= 0 && i < text.size() &&
                   (text[i].isLetterOrNumber() || text[i] == '.' || text[i] == '-');
        };
        if (!joins(at - 1) && !joins(end)) return true;
    }
    return false;
}

// The words by which the registry's robot names a kind ("NEW HOST ns1.example.com").
QString KindWord(const QString& kind) {
    return kind.toUpper();
}

bool AnswersSubject(const QString& replySubject, const QString& ours) {
    if (ours.isEmpty()) return false;
    const QString s = ours.simplified();
    for (const QString& form : {"SUCCESS: " + s, "FAILED: " + s, "ERROR: " + s, "EXCEPTION: " + s,
                                "Re: " + s, "Re: " + s + " --APPROVED", "Re: " + s + " --REJECTED"})
        if (replySubject.compare(form, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool WithinAnswerWindow(const QDateTime& sent, const QDateTime& reply) {
    if (!reply.isValid()) return true;
    const qint64 after = sent.secsTo(reply);
    return after >= -kClockSlackSecs && after <= kAnswerWindowSecs;
}
} // namespace

ReplyMatcher::ReplyMatcher(const std::vector<RegistrationState>& states) : states_(states) {
    for (int i = 0; i < int(states.size()); ++i)
        byId_.insert(MessageIdKey(states[size_t(i)].registration.messageId), i);
}

ReplyMatch ReplyMatcher::Match(const ReplyMessage& reply, const ReplyVerdict& verdict) const {
    int index = ByQuotedId(reply);
    if (index >= 0) return {index, 1};
    if ((index = ByThread(reply)) >= 0) return {index, 2};
    if ((index = ByNumber(reply, verdict)) >= 0) return {index, 3};
    if ((index = BySubject(reply)) >= 0) return {index, 4};
    return {};
}

int ReplyMatcher::ByQuotedId(const ReplyMessage& reply) const {
    static const QRegularExpression quote(R"(^>\s+Message-ID:\s*<([^<>\s]+)>)",
                                          QRegularExpression::CaseInsensitiveOption);
    for (qsizetype i = 0; i < reply.lines.size(); ++i) {
        const QString& line = reply.lines[i];
        if (!line.contains('@')) continue;
        if (line.startsWith('>'))
            if (const QRegularExpressionMatch m = quote.match(line); m.hasMatch())
                if (const auto it = byId_.find(MessageIdKey(m.captured(1))); it != byId_.end())
                    return *it;
        if (i >= kQuotedLines) continue;
        for (const QString& word : IdWords(line))
            if (const auto it = byId_.find(word); it != byId_.end()) return *it;
    }
    return -1;
}

int ReplyMatcher::ByThread(const ReplyMessage& reply) const {
    for (const QString& id : reply.threadIds)
        if (const auto it = byId_.find(id); it != byId_.end()) return *it;
    return -1;
}

int ReplyMatcher::ByNumber(const ReplyMessage& reply, const ReplyVerdict& verdict) const {
    const QString text = reply.subject + '\n' + reply.lines.join('\n');
    for (int i = 0; i < int(states_.size()); ++i)
        for (const QString& number : states_[size_t(i)].numbers)
            if (HoldsWord(text, number)) return i;
    const QString number = TrackingNumberIn(text);
    if (number.isEmpty() || verdict.number != number) return -1;
    // A new number: the subject's other words name the kind and the record.
    for (int i = int(states_.size()) - 1; i >= 0; --i) {
        const RegistrationState& state = states_[size_t(i)];
        if (state.Open() && HoldsWord(reply.subject, KindWord(state.registration.kind)) &&
            HoldsWord(reply.subject, state.registration.name))
            return i;
    }
    return -1;
}

int ReplyMatcher::BySubject(const ReplyMessage& reply) const {
    int best = -1;
    for (int i = 0; i < int(states_.size()); ++i) {
        const RegistrationState& state = states_[size_t(i)];
        const SentRegistration& r = state.registration;
        if (!state.Open() || !AnswersSubject(reply.subject, r.subject) ||
            !SameOrRelatedDomain(reply.fromDomain, BareAddressDomain(r.recipient)) ||
            !WithinAnswerWindow(r.when, reply.date))
            continue;
        // The newest registration sent before the reply.
        if (best < 0 || states_[size_t(best)].registration.when <= r.when) best = i;
    }
    return best;
}
