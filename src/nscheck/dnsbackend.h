#pragma once
// What the DNS module (nscheck/ldns, on ldns) offers: DNS messages built and read. The questions
// themselves travel over the program's own UDP and TCP sockets (dnstransport.h), so that every
// wait, retry and refusal is its own.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace dns {
constexpr int A = 1, NS = 2, CNAME = 5, SOA = 6, AAAA = 28;
constexpr int NoError = 0, ServFail = 2, NxDomain = 3, Refused = 5;
} // namespace dns

struct DnsRecord {
    QString owner; // lower case, without the final dot
    int type = 0;
    QString data;       // NS and CNAME targets (lower case, no final dot), A and AAAA addresses
    quint32 serial = 0; // SOA
};

struct DnsMessage {
    bool parsed = false;
    QString problem; // why it could not be read
    quint16 id = 0;
    bool aa = false, tc = false, qr = false;
    int rcode = 0;
    std::vector<DnsRecord> answer;
};

class DnsCodec {
public:
    virtual ~DnsCodec() = default;
    // A query for `name` (an A-label name) of `type`, class IN, with id `id`; recursion is asked
    // for only when `recursive`. Empty with `problem` set when the name is no domain name.
    virtual QByteArray Query(const QString& name, int type, quint16 id, bool recursive,
                             QString& problem) = 0;
    virtual DnsMessage Read(const QByteArray& wire) = 0;
    // The rcode's mnemonic: "NOERROR", "SERVFAIL", "NXDOMAIN", "REFUSED", ...
    virtual QString RcodeName(int rcode) = 0;
};

// The module's name and its entry point, `DnsCodec* regiscribe_dns()`.
inline constexpr const char* DnsModuleName = "dns";
inline constexpr const char* DnsModuleEntry = "regiscribe_dns";
