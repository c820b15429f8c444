#pragma once
// Reverse-DNS delegations: the domain: name under in-addr.arpa on octet boundaries (an RFC 2317
// range only in the first label of a four-label name) or under ip6.arpa on nibble boundaries;
// nserver: lines with their glue; and DS records in ds-rdata:.
#include "objects/valuesyntax.h"

#include <optional>

struct ReverseZone {
    QString name; // lower case, without a final dot
    bool v6 = false;
    int prefixLength = 0; // the bits the labels fix (a range zone counts 32)
};

// The zone of a domain: value, or nothing with `why` set.
std::optional<ReverseZone> ReadReverseZone(const QString& text, QString* why);

void CheckReverseZone(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckNameServer(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckDsRdata(const QString& value, const ValueContext& c, ValueFindings& out);
