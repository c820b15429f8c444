#include "nscheck/dnsquery.h"

#include "nscheck/dnstransport.h"
#include "platform/module.h"

#include <QRandomGenerator>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>

DnsCodec* Codec(QString* problem) {
    Result<DnsCodec*> codec = SharedModuleInterface<DnsCodec>(DnsModuleName, DnsModuleEntry);
    if (!codec && problem) *problem = "DNS is not available: " + codec.Error();
    return codec.ValueOr(nullptr);
}

DnsOutcome AskServer(const IpAddress& server, quint16 port, const QString& name, int type, bool tcp,
                     bool recursive) {
    DnsOutcome outcome;
    DnsCodec* codec = Codec(&outcome.problem);
    if (!codec) return outcome;
    const quint16 id = quint16(QRandomGenerator::system()->bounded(65536));
    const QByteArray query = codec->Query(name, type, id, recursive, outcome.problem);
    if (query.isEmpty()) return outcome;
    const DnsExchange exchange = tcp ? AskOverTcp(server, port, query, kDnsTimeoutMs)
                                     : AskOverUdp(server, port, query, kDnsTimeoutMs, 2);
    if (!exchange.answered) {
        outcome.problem = exchange.problem;
        return outcome;
    }
    outcome.message = codec->Read(exchange.reply);
    outcome.answered = outcome.message.parsed;
    if (!outcome.answered)
        outcome.problem = "an answer that cannot be read: " + outcome.message.problem;
    return outcome;
}

namespace {
// The resolver REGISCRIBE_RESOLVER names, if it names one.
bool ConfiguredResolver(IpAddress& address, quint16& port, QString& problem) {
    const QString text = QString::fromLocal8Bit(qgetenv("REGISCRIBE_RESOLVER")).trimmed();
    if (text.isEmpty()) return false;
    port = 53;
    QString host = text;
    // "ADDRESS:PORT", "[IPv6]:PORT", or an address alone.
    if (text.startsWith('[')) {
        host = text.section(']', 0, 0).mid(1);
        if (text.section(']', 1).startsWith(':')) port = quint16(text.section("]:", 1).toUInt());
    } else if (text.count(':') == 1) {
        host = text.section(':', 0, 0);
        port = quint16(text.section(':', 1).toUInt());
    }
    const std::optional<IpAddress> parsed = ParseIpAddress(host);
    if (!parsed || port == 0) {
        problem = "REGISCRIBE_RESOLVER is not an address: " + text;
        return true;
    }
    address = *parsed;
    return true;
}

// The A or AAAA records of `host` in a recursive resolver's answer, through any CNAMEs.
void TakeAddresses(const DnsMessage& message, const QString& host, int type,
                   std::vector<IpAddress>& out) {
    QString name = host;
    for (int hops = 0; hops < 10; ++hops) {
        bool followed = false;
        for (const DnsRecord& r : message.answer)
            if (r.owner == name && r.type == dns::CNAME) {
                name = r.data;
                followed = true;
            }
        if (!followed) break;
    }
    for (const DnsRecord& r : message.answer)
        if (r.owner == name && r.type == type)
            if (const auto ip = ParseIpAddress(r.data)) out.push_back(*ip);
}

Resolution FromResolver(const IpAddress& resolver, quint16 port, const QString& host) {
    Resolution result;
    DnsOutcome v4, v6;
    // Both questions at once: the look-up takes the time of one.
    std::thread six([&] { v6 = AskServer(resolver, port, host, dns::AAAA, false, true); });
    v4 = AskServer(resolver, port, host, dns::A, false, true);
    six.join();
    for (const DnsOutcome* o : {&v4, &v6})
        if (o->answered && o->message.rcode == dns::NoError)
            TakeAddresses(o->message, host, o == &v4 ? dns::A : dns::AAAA, result.addresses);
    result.resolved = !result.addresses.empty();
    if (!result.resolved) {
        DnsCodec* codec = Codec();
        if (!v4.answered)
            result.problem = "the resolver gave no answer: " + v4.problem;
        else if (v4.message.rcode != dns::NoError && codec)
            result.problem = codec->RcodeName(v4.message.rcode);
        else
            result.problem = "no address";
    }
    return result;
}

Resolution FromSystem(const QString& host) {
    Resolution result;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(host.toLatin1().constData(), nullptr, &hints, &found);
    if (rc != 0) {
        result.problem = QString::fromLocal8Bit(gai_strerror(rc));
        return result;
    }
    for (addrinfo* a = found; a; a = a->ai_next) {
        IpAddress ip;
        if (a->ai_family == AF_INET) {
            std::memcpy(ip.bytes.data(),
                        &reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr, 4);
        } else if (a->ai_family == AF_INET6) {
            ip.v6 = true;
            std::memcpy(ip.bytes.data(),
                        &reinterpret_cast<const sockaddr_in6*>(a->ai_addr)->sin6_addr, 16);
        } else {
            continue;
        }
        bool known = false;
        for (const IpAddress& seen : result.addresses)
            known = known || (seen.v6 == ip.v6 && seen.bytes == ip.bytes);
        if (!known) result.addresses.push_back(ip);
    }
    ::freeaddrinfo(found);
    result.resolved = !result.addresses.empty();
    if (!result.resolved) result.problem = "no address";
    return result;
}
} // namespace

Resolution ResolveHost(const QString& host) {
    IpAddress resolver;
    quint16 port = 53;
    QString problem;
    if (ConfiguredResolver(resolver, port, problem)) {
        if (!problem.isEmpty()) {
            Resolution failed;
            failed.problem = problem;
            return failed;
        }
        return FromResolver(resolver, port, host);
    }
    return FromSystem(host);
}
