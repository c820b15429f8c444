#pragma once
// What an RDAP look-up asks for, from the text the user typed: an IP address or network, an
// autonomous system ("AS" and digits, in any case, or digits alone), or else a domain name (its
// A-label).
#include <QString>
#include <optional>

enum class RdapKind { Domain, IpV4, IpV6, Autnum };

struct RdapQuery {
    RdapKind kind = RdapKind::Domain;
    QString typed;   // as the user typed it
    QString key;     // the A-label, the address (or network), or the AS number
    QString address; // IP kinds: the address without a prefix length
    int prefix = -1; // IP kinds: the network's prefix length, -1 for one address
};

// Nothing for an empty text, or an address or number that is malformed.
std::optional<RdapQuery> ClassifyRdapQuery(const QString& typed);
// The bootstrap file of the kind: "dns.json", "ipv4.json", "ipv6.json", "asn.json".
QString BootstrapFileOf(RdapKind kind);
// The query's path below a base URL: "domain/NAME", "ip/ADDRESS[/LEN]" or "autnum/N".
QString RdapPath(const RdapQuery& query);
