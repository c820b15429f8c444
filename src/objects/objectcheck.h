#pragma once
// The check before mailing: every attribute of an object held against its registry's rule
// table (known to the class, present as often as allowed, its value in the syntax the registry's
// software checks, the registry's business rules), and the references between the objects of one
// message. Offline: the name servers of a domain object are checked apart (nameservercheck.h).
#include "objects/checkline.h"
#include "objects/registry.h"
#include "objects/rpslobject.h"
#include "objects/ruletable.h"
#include "objects/valuesyntax.h"

#include <functional>
#include <optional>

struct CheckOptions {
    ObjectAction action = ObjectAction::Create; // an object with a delete: line is a deletion
    // Whether the user's keyring holds the secret key of an 8-hex-digit key id (nothing when it
    // cannot be asked); unset: the keyring is not asked.
    std::function<std::optional<bool>(const QString& keyId)> secretKeyHeld;
};

// The object's lines: its findings, or one "ok" line when there are none.
ObjectCheckLines CheckObject(const RpslObject& object, const Registry& registry,
                             const RuleTable& rules, const CheckOptions& options = {});
// The findings about the objects of one message together: AUTO-n handles named where no object
// of the message has that key.
ObjectCheckLines CheckMessageReferences(const std::vector<RpslObject>& objects,
                                        const RuleTable& rules);

// The object's primary key: its key attributes' values joined ("193.0.0.0/21AS3333" for a
// route); the first attribute's value for a class the table does not know.
QString ObjectKey(const RpslObject& object, const RuleTable& rules);
// "route 193.0.0.0/21AS3333".
QString ObjectTitle(const RpslObject& object, const RuleTable& rules);
// The action an object asks for: Delete when it carries a delete: line, else `otherwise`.
ObjectAction ActionOf(const RpslObject& object, ObjectAction otherwise);
