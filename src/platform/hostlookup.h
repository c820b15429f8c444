#pragma once
// Resolving a host name without blocking the window: the system's resolver (getaddrinfo) runs on
// the task pool, and its answer comes back through the window thread's event queue, so a wait that
// processes events sees it arrive. Only QtCore is needed: a command that sends mail does not load
// the network library for this.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct HostLookupAnswer {
    int error = 0;                   // 0, or a resolver code (WSAHOST_NOT_FOUND, WSATRY_AGAIN, ...)
    std::vector<uint32_t> addresses; // IPv4 addresses in host byte order, in the resolver's order
};

// Starts a look-up of `host`'s IPv4 addresses; `done` is called once, on the asking thread, unless
// the look-up is abandoned first. Returns the look-up's id (never 0).
int LookupHost(const QString& host, std::function<void(const HostLookupAnswer&)> done);
// Drops a look-up's answer; its `done` is never called.
void AbandonHostLookup(int id);
