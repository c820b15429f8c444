#pragma once
// A server typed as "host", "host:port", "[IPv6]:port" or a bare IPv6 address, as the WHOIS
// server box and `--server` take it.
#include <QString>
#include <cstdint>
#include <variant>

struct ServerAddress {
    QString host;
    uint16_t port = 0;
};

enum class ServerAddressProblem { NoHost, BadPort };

// The host and port of `text` (trimmed), `defaultPort` when it names none.
std::variant<ServerAddress, ServerAddressProblem> ParseServerAddress(const QString& text,
                                                                     uint16_t defaultPort);
