#pragma once
// What the DNS module (nscheck/ldns, on ldns) offers: DNS messages built and read. The questions
// themselves travel over the program's own UDP and TCP sockets (dnsasker.h), so that every wait,
// retry and refusal is its own.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace dns {
constexpr int A = 1, NS = 2, CNAME = 5, SOA = 6, AAAA = 28;
constexpr int NoError = 0, FormErr = 1, ServFail = 2, NxDomain = 3, Refused = 5;
// The UDP size our EDNS queries offer: what fits every path without fragments.
constexpr int kEdnsUdpSize = 1232;
} // namespace dns

struct DnsRecord {
    QString owner; // lower case, without the final dot
    int type = 0;
    // NS and CNAME targets and the SOA's primary server (lower case, no final dot), A and AAAA
    // addresses.
    QString data;
    quint32 serial = 0; // SOA
};

struct DnsMessage {
    bool parsed = false;
    QString problem; // why it could not be read
    quint16 id = 0;
    bool qr = false, aa = false, tc = false, rd = false, ra = false;
    int rcode = 0;
    bool hasOpt = false; // an OPT record came with it (EDNS)
    int questions = 0;
    QString questionName; // the first question's name, lower case, without the final dot
    int questionType = 0;
    std::vector<DnsRecord> answer;
};

struct DnsQueryForm {
    bool recursive = false; // RD
    bool edns = true;       // an OPT record: UDP size kEdnsUdpSize, DO clear
};

class DnsCodec {
public:
    virtual ~DnsCodec() = default;
    // A query for `name` (an A-label name, "." for the root) of `type`, class IN, with id `id`.
    // Empty with `problem` set when the name is no domain name.
    virtual QByteArray Query(const QString& name, int type, quint16 id, DnsQueryForm form,
                             QString& problem) = 0;
    virtual DnsMessage Read(const QByteArray& wire) = 0;
    // The rcode's mnemonic: "NOERROR", "SERVFAIL", "NXDOMAIN", "REFUSED", ...
    virtual QString RcodeName(int rcode) = 0;
};

// The module's name and its entry point, `DnsCodec* regiscribe_dns()`.
inline constexpr const char* DnsModuleName = "dns";
inline constexpr const char* DnsModuleEntry = "regiscribe_dns";
