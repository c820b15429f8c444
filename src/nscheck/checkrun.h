#pragma once
// One name-server check from start to end, on the thread that calls it (a worker of the task
// pool): every question through one DnsAsker, so every server and address is asked at once and
// the whole check, name look-ups included, ends within its time limit or at once on cancel.
//
// It follows the undelegated test of a domain that is not delegated yet: names inside the domain
// are never looked up (their typed addresses are the glue, compared with the address records the
// servers give); names outside it are looked up through a recursive resolver, REGISCRIBE_RESOLVER
// ("ADDRESS", "ADDRESS:PORT" or "[IPv6]:PORT") or else the first one /etc/resolv.conf names.
#include "nscheck/checklines.h"

#include <functional>

struct CheckRequest {
    QString domain;
    std::vector<ListedServer> servers;
    // The port every name server is asked on: 53, other ports only for tests.
    quint16 port = 53;
    bool skipIpv6 = false;
    // REGISCRIBE_LAB_NETWORKS and REGISCRIBE_RESOLVER, as the environment gives them.
    QString labNetworks;
    QString resolver;
    // The check's time from its start: 8 seconds in all, with room to tell the end.
    int timeLimitMs = 7500;
    // Reads the environment's two variables.
    static CheckRequest FromEnvironment(const QString& domain,
                                        const std::vector<ListedServer>& servers);
};

struct CheckOutcome {
    std::vector<CheckLine> lines;
    QString summary; // empty after a cancel
    int Errors() const;
};

// Runs the check; `onLine` is called with each finding as it is made (on this thread).
CheckOutcome RunNameServerCheck(const CheckRequest& request, const CancelToken& token,
                                const std::function<void(const CheckLine&)>& onLine);
