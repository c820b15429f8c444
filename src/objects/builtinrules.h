#pragma once
// The rule tables compiled into the program (data/rpsl/*.rules), each read once and kept.
#include "objects/ruletable.h"

#include <memory>

// The table of rule set `name` ("ripe", "irrd"); fails when it is missing, cannot be read, or
// names a value syntax the program does not have.
Result<std::shared_ptr<const RuleTable>> BuiltinRules(const QString& name);
