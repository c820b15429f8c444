#pragma once
// What a registry's robot said about a registration, read from its reply: the acknowledgements
// of the RIPE-rule robots (RIPE, APNIC, AFRINIC) and of IRRd, with a result per object and the
// errors under it; the template processors of the ARIN kind (approved, rejected, ticketed); and
// the registry's own robot (a tracking number NIC-YYMMDD.N, its completion notice, its parser
// errors). Anything else is an answer, shown as text.
#include "replies/replymessage.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

enum class ReplyStatus { Waiting, Received, Done, Refused, Answered };

// "waiting", "received", "done", "refused", "answered".
QString StatusWord(ReplyStatus status);
std::optional<ReplyStatus> StatusFromWord(const QString& word);

struct ObjectResult {
    QString line; // as the robot printed it: "Create FAILED: [domain] 2.0.192.in-addr.arpa"
    ReplyStatus result = ReplyStatus::Done; // Done or Refused
    QStringList errors; // its error texts, continuation lines joined by one blank
    QStringList notes;  // its warnings and informational texts, joined the same way
};

struct ReplyVerdict {
    ReplyStatus status = ReplyStatus::Answered;
    QString number; // the tracking number or ticket the reply gives, if any
    std::vector<ObjectResult> objects;
    // The reply's own words behind the verdict beside the objects: errors that belong to no
    // object, a rejection's reasons, a parser's complaints.
    QStringList lines;
};

ReplyVerdict ReadVerdict(const ReplyMessage& reply);

// The registry robot's tracking number in `text` ("NIC-961209.42"), or empty.
QString TrackingNumberIn(const QString& text);
