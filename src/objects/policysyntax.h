#pragma once
// Routing policy as RPSL writes it (RFC 2622, and RFC 4012 for the mp- attributes): import,
// export and default policies with their peerings, actions and filters, the components and
// injections of aggregate routes, and AS expressions. A value is read whole; the first thing that
// does not fit is the reason given.
#include "objects/valuesyntax.h"
#include "platform/result.h"

// Why `value` is no policy of attribute `kind` ("import", "mp-import", "export", "mp-export",
// "default", "mp-default", "import-via", "export-via", "filter-v4", "filter-v6",
// "components-v4", "components-v6", "inject-v4", "inject-v6", "aggr-mtd", "as-expression");
// done when it is one.
Done VerifyPolicy(const QString& value, const QString& kind, const RuleTable& rules);

// The check of every kind above, by the syntax name of the attribute's rule.
void CheckPolicy(const QString& value, const ValueContext& c, ValueFindings& out);
