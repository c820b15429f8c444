#include "lookup/serveraddress.h"

std::variant<ServerAddress, ServerAddressProblem> ParseServerAddress(const QString& text,
                                                                     uint16_t defaultPort) {
    const QString typed = text.trimmed();
    ServerAddress address{typed, defaultPort};
    QString portText;
    if (typed.startsWith('[')) {
        const qsizetype close = typed.indexOf(']');
        if (close < 0) return ServerAddressProblem::NoHost;
        address.host = typed.mid(1, close - 1);
        const QString rest = typed.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(':')) return ServerAddressProblem::BadPort;
        if (!rest.isEmpty()) portText = rest.mid(1);
        if (rest == ":") return ServerAddressProblem::BadPort;
    } else if (typed.count(':') == 1) {
        // More than one colon is an IPv6 address without a port.
        const qsizetype colon = typed.indexOf(':');
        address.host = typed.left(colon);
        portText = typed.mid(colon + 1);
        if (portText.isEmpty()) return ServerAddressProblem::BadPort;
    }
    if (address.host.isEmpty()) return ServerAddressProblem::NoHost;
    if (!portText.isEmpty()) {
        bool ok = false;
        const uint port = portText.toUInt(&ok);
        if (!ok || port == 0 || port > 65535) return ServerAddressProblem::BadPort;
        address.port = uint16_t(port);
    }
    return address;
}
