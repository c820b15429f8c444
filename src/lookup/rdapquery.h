#pragma once
// What an RDAP look-up asks for, from the text the user typed: an IP address or network, an
// autonomous system ("AS" and digits, in any case, or digits alone), or else a domain name (its
// A-label); or, when the user says so, an entity (a contact or registrar by its handle) or a name
// server (RFC 9082).
#include <QString>
#include <optional>

enum class RdapKind { Domain, IpV4, IpV6, Autnum, Entity, Nameserver };

// What the user chose to ask: the kind the text shows, an entity or a name server.
enum class RdapObject { Any, Entity, Nameserver };

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
// name that UTS #46 refuses. An entity's handle is asked as typed (without blanks around it).
std::optional<RdapQuery> ClassifyRdapQuery(const QString& typed,
                                           RdapObject object = RdapObject::Any);
// The bootstrap file of the kind: "dns.json" (domains and name servers), "ipv4.json",
// "ipv6.json", "asn.json", "object-tags.json" (entities, RFC 8521).
QString BootstrapFileOf(RdapKind kind);
// The query's path below a base URL: "domain/NAME", "ip/ADDRESS[/LEN]", "autnum/N",
// "entity/HANDLE" (percent-encoded) or "nameserver/NAME".
QString RdapPath(const RdapQuery& query);
