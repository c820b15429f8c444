#pragma once
// What the name-server check says: one line per finding, starting with "ok", "notice", "warning"
// or "error" (padded to eight characters), then the server and the fact; a summary at the end.
// The lines are made here from what the servers answered, apart from the asking, so each rule can
// be read and tried on its own.
#include "nscheck/dnsasker.h"

#include <QString>
#include <QStringList>
#include <vector>

enum class Verdict { Ok, Notice, Warning, Error };

struct CheckLine {
    Verdict verdict = Verdict::Ok;
    QString text; // without the verdict
    // "ok      ns1.example.net (192.0.2.1): authoritative for example.com, serial 2026120801"
    QString Rendered() const;
};

// One server as the template lists it.
struct ListedServer {
    QString host;  // as typed
    QString typed; // the typed address, or empty
};

// A host name as it goes on the wire (lower case A-label, no final dot), or the reason it is no
// valid host name.
Result<QString> HostForWire(const QString& typed);
// Whether `name` is `domain` or a name below it (both in wire form).
bool InsideDomain(const QString& name, const QString& domain);

// What one address of one server answered: the domain's SOA over UDP and over TCP, each with EDNS
// and, beside it, without; the domain's NS set; the root's SOA asked recursively.
struct AddressProbe {
    QString host; // the server's host name, wire form
    IpAddress address;
    DnsReply soaUdp, soaPlain, soaTcp, soaTcpPlain, ns, recursion;
    // The server's name and address as the lines show them: "ns1.example.net (192.0.2.1)".
    QString Who() const;
    // The serial of the domain's SOA, when this address answers for it with authority.
    std::optional<quint32> Serial(const QString& domain) const;
    // The names of the domain's NS set in its authoritative answer (sorted), or nothing.
    std::optional<QStringList> NsSet(const QString& domain) const;
    // The SOA's primary server (MNAME), when it answers with authority.
    QString Mname(const QString& domain) const;
};

// A name's addresses as a resolver or the domain's own servers gave them.
struct Resolution {
    bool resolved = false;
    QString problem;           // why not, in words ("NXDOMAIN", "no address", ...)
    QString cname;             // the name is an alias of this one
    std::vector<IpAddress> v4; // at most kAddressCap
    std::vector<IpAddress> v6;
    int v4Found = 0, v6Found = 0; // before the cap
    std::vector<IpAddress> All() const;
};
// Addresses asked per name and family.
constexpr int kAddressCap = 4;

QString AddressList(const std::vector<IpAddress>& addresses);
bool SameAddress(const IpAddress& a, const IpAddress& b);

// The lines of a name outside the domain, as the resolver gave it: resolves (else an error, also
// with a typed address, for which no glue is published), no alias, the typed addresses among its
// own (else an error: the typed address is not the name's), the cap.
std::vector<CheckLine> ResolutionLines(const QString& domain, const QString& host,
                                       const std::vector<IpAddress>& typed,
                                       const Resolution& resolution);
// The lines of a name inside the domain: its typed addresses (glue) against the address records
// the domain's servers give for it. `answered` is false when no server answered with authority.
std::vector<CheckLine> GlueLines(const QString& host, const std::vector<IpAddress>& typed,
                                 bool answered, const Resolution& zone);
// The lines of one address: answers over UDP (EDNS) and TCP, authority for `domain`, recursion.
std::vector<CheckLine> AddressLines(const QString& domain, const AddressProbe& probe);

// The servers' answers seen together.
struct CheckFacts {
    QString domain;
    QStringList listedHosts; // distinct, wire form
    int serversWithIpv4 = 0, serversWithIpv6 = 0;
    std::vector<AddressProbe> probes;
    // The names of the zone's NS set that the template lacks, and how each resolved.
    std::vector<std::pair<QString, Resolution>> unlistedNs;
    // The SOA's primary server when it is not one of the listed servers: its name and why it
    // does not answer with authority (empty when it does).
    QString mname, mnameProblem;
};
// The lines across all servers: at least two, distinct addresses, two with IPv4 (and with IPv6
// none or two), one SOA serial, one NS set of at least two naming every listed server, the
// primary server, more than one network.
std::vector<CheckLine> AcrossLines(const CheckFacts& facts);
// "Name servers: 4 ok, 1 notice, 0 warnings, 2 errors".
QString SummaryLine(const std::vector<CheckLine>& lines);
// "1 error", "2 errors".
QString Counted(int count, const QString& singular);
