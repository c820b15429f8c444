#include "nscheck/reservedaddress.h"

#include <QStringList>

namespace {
struct Block {
    const char* prefix;
    const char* words;
};

// Not globally reachable, by the IANA IPv4 and IPv6 special-purpose address registries (the
// blocks that are globally reachable, such as AS112's, are left out).
constexpr Block kBlocks[] = {
    {"0.0.0.0/8", "\"this network\""},
    {"10.0.0.0/8", "private network"},
    {"100.64.0.0/10", "shared address space"},
    {"127.0.0.0/8", "loopback"},
    {"169.254.0.0/16", "link-local"},
    {"172.16.0.0/12", "private network"},
    {"192.0.0.0/24", "protocol assignments"},
    {"192.0.2.0/24", "documentation"},
    {"192.88.99.0/24", "deprecated relay anycast"},
    {"192.168.0.0/16", "private network"},
    {"198.18.0.0/15", "benchmarking"},
    {"198.51.100.0/24", "documentation"},
    {"203.0.113.0/24", "documentation"},
    {"224.0.0.0/4", "multicast"},
    {"240.0.0.0/4", "reserved"},
    {"::/128", "unspecified address"},
    {"::1/128", "loopback"},
    {"::ffff:0:0/96", "IPv4-mapped"},
    {"64:ff9b:1::/48", "local-use translation"},
    {"100::/64", "discard-only"},
    {"2001::/32", "protocol assignments"},
    {"2001:2::/48", "benchmarking"},
    {"2001:10::/28", "deprecated identifiers"},
    {"2001:db8::/32", "documentation"},
    {"3fff::/20", "documentation"},
    {"fc00::/7", "unique local"},
    {"fe80::/10", "link-local"},
    {"fec0::/10", "deprecated site-local"},
    {"ff00::/8", "multicast"},
};
} // namespace

std::optional<QString> SpecialPurposeBlock(const IpAddress& address) {
    for (const Block& block : kBlocks) {
        const IpNetwork network = *ParseIpNetwork(QString::fromLatin1(block.prefix));
        if (InNetwork(address, network.address, network.length))
            return QString::fromLatin1(block.words) + ' ' + QString::fromLatin1(block.prefix);
    }
    return std::nullopt;
}

Result<std::vector<IpNetwork>> ParseLabNetworks(const QString& text) {
    std::vector<IpNetwork> networks;
    for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
        std::optional<IpNetwork> network = ParseIpNetwork(part.trimmed());
        if (!network) return Fail('"' + part.trimmed() + "\" is not a network");
        if (network->length < 0) network->length = network->address.Bits();
        networks.push_back(*network);
    }
    return networks;
}

bool InAnyNetwork(const IpAddress& address, const std::vector<IpNetwork>& networks) {
    for (const IpNetwork& n : networks)
        if (InNetwork(address, n.address, n.length)) return true;
    return false;
}
