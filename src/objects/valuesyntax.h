#pragma once
// What the value syntaxes a rule table names have in common: each checks one attribute's value,
// and what it finds is a refusal in the registry's words (a message of the rule table, left out
// when the table has none) or a warning in this program's words (syntaxtable.h names them).
#include "objects/checkline.h"
#include "objects/registry.h"
#include "objects/rpslobject.h"
#include "objects/ruletable.h"

#include <QStringList>
#include <vector>

enum class ObjectAction { Create, Modify, Delete };

struct ValueFinding {
    CheckVerdict verdict = CheckVerdict::Error;
    QString message;    // the rule table's message key; empty when `text` says it
    QStringList fields; // the message's fields: name, value, name, value...
    QString text;       // a finding in the program's own words
};
using ValueFindings = std::vector<ValueFinding>;

struct ValueContext {
    const RuleTable& rules;
    const Registry& registry;
    const RpslObject& object;
    const RpslAttribute& attribute;
    const AttributeRule& rule;
    ObjectAction action;
};

// Checks `value` (the attribute's clean value) and adds what it finds to `out`.
using SyntaxCheck = void (*)(const QString& value, const ValueContext& context, ValueFindings& out);

// A syntax error: "Syntax error in VALUE (WHY)" under the RIPE rules, "Invalid WHAT VALUE: WHY"
// under IRRd's (the table's "syntax" message).
ValueFinding SyntaxError(const QString& value, const QString& what, const QString& why);
// A refusal by the table's message `key`, with its fields.
ValueFinding RuleError(const QString& key, QStringList fields);
ValueFinding Warning(const QString& text);

// The items of a list value: split at commas, each trimmed; empty items kept (an error).
QStringList ListItems(const QString& value);
