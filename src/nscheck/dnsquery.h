#pragma once
// DNS questions as the checks ask them: a question to one server address (recursion off) over UDP
// or TCP, and a host name's addresses from a recursive resolver: the one REGISCRIBE_RESOLVER names
// ("ADDRESS" or "ADDRESS:PORT"), else the system's. Blocking: run on threads of their own.
#include "nscheck/dnsbackend.h"
#include "platform/ipaddress.h"

#include <vector>

// Each try of a question waits this long; UDP tries once more.
constexpr int kDnsTimeoutMs = 3000;

struct DnsOutcome {
    bool answered = false;
    QString problem; // the transport's failure, or why the answer could not be read
    DnsMessage message;
};

// The DNS module, or nullptr with `problem` set.
DnsCodec* Codec(QString* problem = nullptr);

DnsOutcome AskServer(const IpAddress& server, quint16 port, const QString& name, int type, bool tcp,
                     bool recursive = false);

struct Resolution {
    bool resolved = false;
    QString problem; // why not, in words
    std::vector<IpAddress> addresses;
};
Resolution ResolveHost(const QString& host);
