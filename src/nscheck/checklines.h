#pragma once
// What the name-server check says: one line per finding, starting with "ok", "warning" or "error"
// (padded to eight characters), then the server and the fact; a summary at the end. The lines are
// made here from what the servers answered, apart from the asking, so each rule can be read and
// tried on its own.
#include "nscheck/dnsquery.h"

#include <QString>
#include <QStringList>
#include <vector>

enum class Verdict { Ok, Warning, Error };

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

// What one address of one server answered: the domain's SOA over UDP and over TCP and its NS
// set over UDP.
struct AddressProbe {
    QString host; // the server's host name, lower case A-label
    IpAddress address;
    DnsOutcome soaUdp, soaTcp, nsUdp;
    // The server's name and address as the lines show them: "ns1.example.net (192.0.2.1)".
    QString Who() const;
};

// A host name as it goes on the wire (lower case A-label, no final dot), or empty with `problem`
// set when it is no valid host name.
QString HostForWire(const QString& typed, QString* problem);

// The lines of a server's name: valid, resolved, the typed address among its addresses.
std::vector<CheckLine> ResolutionLines(const ListedServer& server, const QString& host,
                                       const QString& hostProblem, const Resolution& resolution);
// The lines of one address: answers over UDP and TCP, authority for `domain`, its NS set against
// the servers the template lists (`listedHosts`, wire form).
std::vector<CheckLine> AddressLines(const QString& domain, const AddressProbe& probe,
                                    const QStringList& listedHosts);
// The lines across all servers: at least two, distinct addresses, one SOA serial, one NS set,
// more than one network.
std::vector<CheckLine> AcrossLines(const QString& domain, int serverCount,
                                   const std::vector<AddressProbe>& probes);
// "Name servers: N ok, N warnings, N errors".
QString SummaryLine(const std::vector<CheckLine>& lines);
