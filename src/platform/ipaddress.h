#pragma once
// IP addresses as people and registries write them: IPv4 as four decimal parts of 0 to 255 (a
// leading zero is still decimal: "074.125.225.229" is 74.125.225.229, never octal, and "1.1" is
// no address), IPv6 in any form the standard allows, and networks as "address/length".
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

struct IpAddress {
    bool v6 = false;
    std::array<uint8_t, 16> bytes{}; // IPv4 in the first four
    int Bits() const { return v6 ? 128 : 32; }
    // The canonical text: dotted decimal, or RFC 5952 for IPv6.
    QString ToString() const;
};

std::optional<IpAddress> ParseIpv4(const QString& text);
std::optional<IpAddress> ParseIpv6(const QString& text);
// Either kind.
std::optional<IpAddress> ParseIpAddress(const QString& text);

struct IpNetwork {
    IpAddress address;
    int length = -1; // -1 for a single address
};
// "address" or "address/length" (length within the kind's bits).
std::optional<IpNetwork> ParseIpNetwork(const QString& text);
// Whether `address` lies in the network of `base` with `length` leading bits.
bool InNetwork(const IpAddress& address, const IpAddress& base, int length);
