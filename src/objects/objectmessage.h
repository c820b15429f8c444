#pragma once
// The message of objects for a registry's robot: the objects one after another, one truly empty
// line between two, without the attributes the registry sets; a deletion ends in its delete:
// line; password: lines, when there are any, before the first object. The subject says what the
// message asks for ("Create domain 2.0.192.in-addr.arpa"), so it is never one of the robots'
// keywords (NEW, DIFF, HELP, HOWTO).
#include "objects/rpslobject.h"
#include "objects/ruletable.h"
#include "objects/valuesyntax.h"

#include <QStringList>
#include <optional>
#include <vector>

struct MessageObject {
    RpslObject object;
    ObjectAction action = ObjectAction::Create;
    QString deleteReason; // a deletion's delete: line, unless the object carries one
};

// "Create", "Modify" or "Delete".
QString ActionWord(ObjectAction action);
// The object's lines as mailed: generated and obsolete attributes left out, "delete: REASON"
// last for a deletion that has no delete: line yet.
QStringList MailedObjectLines(const MessageObject& object, const RuleTable& rules);
// Every object's mailed lines, one empty line between two objects.
QStringList MessageObjectLines(const std::vector<MessageObject>& objects, const RuleTable& rules);
// The body: "password: PASSWORD" and an empty line when a password is given, then `objectPart`
// (the objects' lines, or their signed text).
QStringList ObjectMessageBody(const std::optional<QString>& password,
                              const QStringList& objectPart);
// "Create domain 2.0.192.in-addr.arpa", or "Create person AUTO-1 and 2 more objects".
QString ObjectMessageSubject(const std::vector<MessageObject>& objects, const RuleTable& rules);
// The name of the kept copy: "CLASS-KEY" of the first object, "+N" for N more.
QString SentCopyName(const std::vector<MessageObject>& objects, const RuleTable& rules);
// A key as part of a file name: "/" (of a route's prefix) becomes "_".
QString KeyFileName(const QString& key);
