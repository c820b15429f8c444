#pragma once
// Addresses that no resolver on the Internet can reach: the IANA special-purpose address
// registries' blocks that are not globally reachable (loopback, "this network", private, shared,
// link-local, documentation, benchmarking, unique local, multicast, reserved). A delegation to one
// of them is dead for everyone but the machine or network that checks it. Networks named in
// REGISCRIBE_LAB_NETWORKS ("127.0.0.0/8,fd00::/8") are taken as reachable, for labs.
#include "platform/ipaddress.h"
#include "platform/result.h"

#include <QString>
#include <optional>
#include <vector>

// The block `address` lies in, as words and prefix ("private network 10.0.0.0/8"), or nothing for
// an address the Internet can reach.
std::optional<QString> SpecialPurposeBlock(const IpAddress& address);

// The networks of a comma-separated list, or the first entry that is none.
Result<std::vector<IpNetwork>> ParseLabNetworks(const QString& text);
bool InAnyNetwork(const IpAddress& address, const std::vector<IpNetwork>& networks);
