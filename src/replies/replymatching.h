#pragma once
// Which registration a reply answers. None of the robots threads its reply, so four rules are
// tried in order and the first that holds wins:
//  1. the text quotes the registration's Message-ID ("> Message-ID: <id>" anywhere, or the id
//     within the first 100 lines);
//  2. In-Reply-To or References names it;
//  3. the text holds a tracking number or ticket kept with a registration; or a new tracking
//     number NIC-YYMMDD.N whose subject names a registration's kind and name (the newest such
//     registration still waiting);
//  4. the subject is "SUCCESS: S", "FAILED: S", "ERROR: S", "EXCEPTION: S", "Re: S",
//     "Re: S --APPROVED" or "Re: S --REJECTED" for the registration's subject S, from the domain
//     it was mailed to, within 7 days of its sending (the newest such registration still waiting).
// A reply that none of them ties to a registration is left alone.
#include "replies/registrationstates.h"

#include <QHash>
#include <vector>

struct ReplyMatch {
    int index = -1; // into the states; -1 for none
    int rule = 0;   // 1 to 4
};

class ReplyMatcher {
public:
    // The states must outlive the matcher; their statuses and numbers may change between calls.
    explicit ReplyMatcher(const std::vector<RegistrationState>& states);
    ReplyMatch Match(const ReplyMessage& reply, const ReplyVerdict& verdict) const;

private:
    int ByQuotedId(const ReplyMessage& reply) const;
    int ByThread(const ReplyMessage& reply) const;
    int ByNumber(const ReplyMessage& reply, const ReplyVerdict& verdict) const;
    int BySubject(const ReplyMessage& reply) const;

    const std::vector<RegistrationState>& states_;
    QHash<QString, int> byId_; // MessageIdKey -> index
};
