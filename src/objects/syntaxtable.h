#pragma once
// The value syntaxes by the names the rule tables give them.
#include "objects/valuesyntax.h"

bool IsKnownSyntax(const QString& name);
// The check of a syntax name; null for an unknown name.
SyntaxCheck SyntaxNamed(const QString& name);
