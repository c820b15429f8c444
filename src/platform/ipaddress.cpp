#include "platform/ipaddress.h"

#include <QStringList>
#include <arpa/inet.h>

std::optional<IpAddress> ParseIpv4(const QString& text) {
    const QStringList parts = text.split('.');
    if (parts.size() != 4) return std::nullopt;
    IpAddress ip;
    for (int i = 0; i < 4; ++i) {
        const QString& part = parts[i];
        if (part.isEmpty() || part.size() > 3) return std::nullopt;
        int value = 0;
        for (QChar c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c.unicode() - '0');
        }
        if (value > 255) return std::nullopt;
        ip.bytes[size_t(i)] = uint8_t(value);
    }
    return ip;
}

std::optional<IpAddress> ParseIpv6(const QString& text) {
    if (!text.contains(':')) return std::nullopt;
    IpAddress ip;
    ip.v6 = true;
    if (::inet_pton(AF_INET6, text.toLatin1().constData(), ip.bytes.data()) != 1)
        return std::nullopt;
    return ip;
}

std::optional<IpAddress> ParseIpAddress(const QString& text) {
    if (auto v4 = ParseIpv4(text)) return v4;
    return ParseIpv6(text);
}

QString IpAddress::ToString() const {
    char buffer[INET6_ADDRSTRLEN] = {};
    ::inet_ntop(v6 ? AF_INET6 : AF_INET, bytes.data(), buffer, sizeof buffer);
    return QString::fromLatin1(buffer);
}

std::optional<IpNetwork> ParseIpNetwork(const QString& text) {
    const qsizetype slash = text.indexOf('/');
    IpNetwork network;
    const std::optional<IpAddress> address = ParseIpAddress(slash < 0 ? text : text.left(slash));
    if (!address) return std::nullopt;
    network.address = *address;
    if (slash >= 0) {
        const QString length = text.mid(slash + 1);
        bool ok = !length.isEmpty() && length.size() <= 3;
        for (QChar c : length)
            ok = ok && c >= '0' && c <= '9';
        network.length = ok ? length.toInt() : -1;
        if (!ok || network.length > address->Bits()) return std::nullopt;
    }
    return network;
}

bool InNetwork(const IpAddress& address, const IpAddress& base, int length) {
    if (address.v6 != base.v6 || length < 0 || length > address.Bits()) return false;
    for (int bit = 0; bit < length; ++bit) {
        const int mask = 0x80 >> (bit % 8);
        if ((address.bytes[size_t(bit / 8)] & mask) != (base.bytes[size_t(bit / 8)] & mask))
            return false;
    }
    return true;
}
