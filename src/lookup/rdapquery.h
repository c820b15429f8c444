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
    // Why the text is not asked at all: "The text TEXT is neither a domain name nor an IP
    // address." or "NAME is not a valid international name: " + the reason.
    QString refusal;
};

// Nothing for an empty text or a number that is malformed. IPv4 is four decimal parts of 0 to
// 255 (a leading zero is still decimal); other text of digits and dots is refused, and so is a
// name that UTS #46 refuses.
std::optional<RdapQuery> ClassifyRdapQuery(const QString& typed);
// The bootstrap file of the kind: "dns.json", "ipv4.json", "ipv6.json", "asn.json".
QString BootstrapFileOf(RdapKind kind);
// The query's path below a base URL: "domain/NAME", "ip/ADDRESS[/LEN]" or "autnum/N".
QString RdapPath(const RdapQuery& query);
