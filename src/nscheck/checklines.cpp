#include "nscheck/checklines.h"

#include "platform/idna.h"

#include <QRegularExpression>
#include <map>
#include <set>

QString CheckLine::Rendered() const {
    const char* word = verdict == Verdict::Ok        ? "ok"
                       : verdict == Verdict::Notice  ? "notice"
                       : verdict == Verdict::Warning ? "warning"
                                                     : "error";
    return QString::fromLatin1(word).leftJustified(8, ' ') + text;
}

QString AddressProbe::Who() const {
    return host + " (" + address.ToString() + ")";
}

Result<QString> HostForWire(const QString& typed) {
    QString name = typed.trimmed();
    while (name.endsWith('.'))
        name.chop(1);
    if (!IsAscii(name)) {
        QString problem;
        const std::optional<QString> label = ToALabel(name, &problem);
        if (!label) return Fail(problem);
        name = *label;
    }
    name = name.toLower();
    static const QRegularExpression label("^[a-z0-9]([a-z0-9-]{0,61}[a-z0-9])?$");
    const QStringList labels = name.split('.');
    bool valid = name.size() <= 253 && labels.size() >= 2;
    for (const QString& l : labels)
        valid = valid && label.match(l).hasMatch();
    if (!valid) return Fail("not a valid host name");
    return name;
}

bool InsideDomain(const QString& name, const QString& domain) {
    return name == domain || name.endsWith('.' + domain);
}

std::vector<IpAddress> Resolution::All() const {
    std::vector<IpAddress> all = v4;
    all.insert(all.end(), v6.begin(), v6.end());
    return all;
}

QString AddressList(const std::vector<IpAddress>& addresses) {
    QStringList texts;
    for (const IpAddress& a : addresses)
        texts << a.ToString();
    return texts.join(", ");
}

bool SameAddress(const IpAddress& a, const IpAddress& b) {
    return a.v6 == b.v6 && a.bytes == b.bytes;
}

QString Counted(int count, const QString& singular) {
    return QString::number(count) + ' ' + singular + (count == 1 ? "" : "s");
}

namespace {
CheckLine Ok(const QString& text) {
    return {Verdict::Ok, text};
}
CheckLine Notice(const QString& text) {
    return {Verdict::Notice, text};
}
CheckLine Warning(const QString& text) {
    return {Verdict::Warning, text};
}
CheckLine Error(const QString& text) {
    return {Verdict::Error, text};
}

bool Among(const IpAddress& a, const std::vector<IpAddress>& list) {
    for (const IpAddress& b : list)
        if (SameAddress(a, b)) return true;
    return false;
}

QString RcodeName(int rcode) {
    Result<DnsCodec*> codec = Codec();
    return codec ? codec.Value()->RcodeName(rcode) : QString::number(rcode);
}

// The SOA answer that decides authority: over UDP (with EDNS, or without it where EDNS failed),
// else over TCP.
const DnsReply* AuthorityReply(const AddressProbe& p) {
    if (p.soaUdp.answered && p.soaUdp.message.rcode != dns::FormErr) return &p.soaUdp;
    if (p.soaPlain.answered) return &p.soaPlain;
    if (p.soaTcp.answered) return &p.soaTcp;
    if (p.soaTcpPlain.answered) return &p.soaTcpPlain;
    return nullptr;
}

QString AliasText(const QString& host, const QString& target) {
    return host + ": is an alias (CNAME for " + target +
           "): a name server's name needs address records of its own";
}
} // namespace

std::optional<quint32> AddressProbe::Serial(const QString& domain) const {
    const DnsReply* soa = AuthorityReply(*this);
    if (!soa || soa->message.rcode != dns::NoError || !soa->message.aa) return std::nullopt;
    for (const DnsRecord& r : soa->message.answer)
        if (r.type == dns::SOA && r.owner == domain) return r.serial;
    return std::nullopt;
}

QString AddressProbe::Mname(const QString& domain) const {
    const DnsReply* soa = AuthorityReply(*this);
    if (!Serial(domain)) return QString();
    for (const DnsRecord& r : soa->message.answer)
        if (r.type == dns::SOA && r.owner == domain) return r.data;
    return QString();
}

std::optional<QStringList> AddressProbe::NsSet(const QString& domain) const {
    if (!ns.answered || ns.message.rcode != dns::NoError || !ns.message.aa) return std::nullopt;
    QStringList names;
    for (const DnsRecord& r : ns.message.answer)
        if (r.type == dns::NS && r.owner == domain && !names.contains(r.data)) names << r.data;
    names.sort();
    return names;
}

std::vector<CheckLine> ResolutionLines(const QString& domain, const QString& host,
                                       const std::vector<IpAddress>& typed,
                                       const Resolution& resolution) {
    std::vector<CheckLine> lines;
    if (!resolution.cname.isEmpty()) lines.push_back(Error(AliasText(host, resolution.cname)));
    if (!resolution.resolved) {
        // No glue is published for a name outside the domain: a typed address reaches no one.
        lines.push_back(
            Error(host + ": does not resolve (" + resolution.problem + ")" +
                  (typed.empty() ? QString()
                                 : ", and no glue is published for a name outside " + domain)));
        return lines;
    }
    lines.push_back(Ok(host + ": resolves to " + AddressList(resolution.All())));
    for (const auto& [found, family] :
         {std::pair{resolution.v4Found, "IPv4"}, std::pair{resolution.v6Found, "IPv6"}})
        if (found > kAddressCap)
            lines.push_back(Notice(QString("%1: %2 %3 addresses; the first %4 are asked")
                                       .arg(host)
                                       .arg(found)
                                       .arg(family)
                                       .arg(kAddressCap)));
    for (const IpAddress& a : typed)
        if (!Among(a, resolution.All()) &&
            (a.v6 ? resolution.v6Found : resolution.v4Found) <= kAddressCap)
            lines.push_back(Error(host + ": the typed address " + a.ToString() +
                                  " is not one of its addresses (" + AddressList(resolution.All()) +
                                  ")"));
    return lines;
}

std::vector<CheckLine> GlueLines(const QString& host, const std::vector<IpAddress>& typed,
                                 bool answered, const Resolution& zone) {
    std::vector<CheckLine> lines;
    if (!zone.cname.isEmpty()) lines.push_back(Error(AliasText(host, zone.cname)));
    if (!answered) return lines;
    const std::vector<IpAddress> records = zone.All();
    const QString shown = records.empty() ? QString("none") : AddressList(records);
    bool allMatch = true;
    for (const IpAddress& a : typed)
        if (!Among(a, records)) {
            allMatch = false;
            lines.push_back(Error(host + ": glue " + a.ToString() +
                                  " differs from the zone's address records (" + shown + ")"));
        }
    if (allMatch && !typed.empty())
        lines.push_back(
            Ok(host + ": glue " + AddressList(typed) + " matches the zone's address records"));
    return lines;
}

std::vector<CheckLine> AddressLines(const QString& domain, const AddressProbe& p) {
    std::vector<CheckLine> lines;
    const QString who = p.Who();
    if (p.soaUdp.unreachable || p.soaTcp.unreachable) {
        const DnsReply& r = p.soaUdp.unreachable ? p.soaUdp : p.soaTcp;
        lines.push_back(Notice(who + ": " + (p.address.v6 ? "IPv6" : "IPv4") +
                               " cannot be tested from here (" + r.problem + ")"));
        return lines;
    }
    // Over UDP, with EDNS, and where EDNS fails, without it.
    const DnsReply& edns = p.soaUdp;
    if (edns.answered && edns.message.rcode == dns::FormErr) {
        lines.push_back(Warning(who + ": does not support EDNS (FORMERR to an EDNS query)"));
        if (!p.soaPlain.answered) lines.push_back(Error(who + ": " + p.soaPlain.problem));
    } else if (edns.answered && !edns.message.hasOpt) {
        lines.push_back(Error(who + ": answers EDNS queries without an OPT record"));
    } else if (!edns.answered && p.soaPlain.answered) {
        lines.push_back(
            Error(who + ": gives no answer to EDNS queries, only to queries without EDNS"));
    } else if (!edns.answered) {
        lines.push_back(
            Error(who + ": " + (edns.truncated ? "truncated over UDP, then " : "") + edns.problem));
    }
    if (edns.answered && edns.truncated)
        lines.push_back(
            Notice(who + ": truncates its answers over UDP; the answer over TCP is used"));
    // Over TCP: the EDNS rule is the UDP answer's; an answer without EDNS will do.
    if (!p.soaTcp.answered && !p.soaTcpPlain.answered)
        lines.push_back(Error(who + ": " + p.soaTcp.problem));

    if (const DnsReply* soa = AuthorityReply(p)) {
        const DnsMessage& m = soa->message;
        if (m.rcode != dns::NoError)
            lines.push_back(Error(who + ": lame for " + domain + ": " + RcodeName(m.rcode)));
        else if (!m.aa)
            lines.push_back(Error(who + ": lame: not authoritative for " + domain));
        else if (const auto serial = p.Serial(domain))
            lines.push_back(
                Ok(who + ": authoritative for " + domain + ", serial " + QString::number(*serial)));
        else
            lines.push_back(Error(who + ": lame: no SOA record for " + domain));
    }
    // Open recursion: a question for a name it does not serve, answered with RA and an answer.
    const DnsMessage& r = p.recursion.message;
    if (p.recursion.answered && r.ra && r.rcode == dns::NoError && !r.answer.empty())
        lines.push_back(Error(who + ": is a recursor: it answers recursive questions for names "
                                    "it does not serve"));
    return lines;
}

std::vector<CheckLine> AcrossLines(const CheckFacts& facts) {
    std::vector<CheckLine> lines;
    const QString& domain = facts.domain;
    const int distinct = int(facts.listedHosts.size());
    if (distinct < 2)
        lines.push_back(Error(distinct == 0 ? QString("no name server listed: a domain needs at "
                                                      "least two")
                                            : QString("only 1 name server listed: a domain needs "
                                                      "at least two")));
    else if (facts.serversWithIpv4 < 2)
        lines.push_back(
            Error(QString("%1 an IPv4 address: a domain needs at least two")
                      .arg(facts.serversWithIpv4 == 0 ? QString("no name server has")
                                                      : QString("only 1 name server has"))));
    // IPv6 is optional, but one server alone is a single point of failure for it.
    if (facts.serversWithIpv6 == 1)
        lines.push_back(Error("only 1 name server has an IPv6 address: a domain needs none or at "
                              "least two"));
    // One address, two servers.
    std::map<QString, std::set<QString>> hostsOf;
    for (const AddressProbe& p : facts.probes)
        hostsOf[p.address.ToString()].insert(p.host);
    for (const auto& [address, hosts] : hostsOf)
        if (hosts.size() > 1)
            lines.push_back(Error(QStringList(hosts.begin(), hosts.end()).join(" and ") +
                                  " share the address " + address));

    std::map<quint32, QStringList> serials;
    std::map<QStringList, QStringList> nsSets;
    for (const AddressProbe& p : facts.probes) {
        if (const auto serial = p.Serial(domain)) serials[*serial] << p.Who();
        if (const auto set = p.NsSet(domain); set && p.Serial(domain)) nsSets[*set] << p.Who();
    }
    if (serials.size() > 1) {
        QStringList each;
        for (const auto& [serial, who] : serials)
            each << who.join(", ") + " " + QString::number(serial);
        lines.push_back(Warning("the SOA serials differ: " + each.join("; ")));
    } else if (serials.size() == 1 && serials.begin()->second.size() > 1) {
        lines.push_back(Ok("every server has serial " + QString::number(serials.begin()->first)));
    }
    if (nsSets.size() > 1) {
        QStringList each;
        for (const auto& [set, who] : nsSets)
            each << who.join(", ") + ": " + set.join(", ");
        lines.push_back(Warning("the NS sets differ: " + each.join("; ")));
    }
    // The zone's NS set names every listed server (a registry refuses a delegation to servers
    // the zone does not name); names it holds beyond them are told.
    for (const auto& [set, who] : nsSets) {
        const QString whose =
            nsSets.size() == 1 ? QString("the zone's NS set") : who.join(", ") + ": its NS set";
        QStringList missing, extra;
        for (const QString& listed : facts.listedHosts)
            if (!set.contains(listed)) missing << listed;
        for (const QString& name : set)
            if (!facts.listedHosts.contains(name)) extra << name;
        for (const QString& name : missing)
            lines.push_back(Error(whose + " for " + domain + " lacks " + name));
        if (set.size() < 2)
            lines.push_back(Error(whose + " for " + domain + " names " +
                                  (set.isEmpty() ? QString("no server") : "only " + set[0]) +
                                  ": a domain needs at least two"));
        if (!extra.isEmpty())
            lines.push_back(Notice(whose + " for " + domain + " also names " + extra.join(", ") +
                                   ", not listed here"));
        if (missing.isEmpty() && set.size() >= 2)
            lines.push_back(Ok(whose + " for " + domain + " names every server listed"));
    }
    for (const auto& [name, resolution] : facts.unlistedNs) {
        if (!resolution.cname.isEmpty())
            lines.push_back(Error("the zone's NS set names " + name + ", an alias (CNAME for " +
                                  resolution.cname + ")"));
        if (!resolution.resolved)
            lines.push_back(Error("the zone's NS set names " + name + ", which does not resolve (" +
                                  resolution.problem + ")"));
    }
    if (!facts.mname.isEmpty() && !facts.mnameProblem.isEmpty())
        lines.push_back(Warning("the SOA's primary server " + facts.mname +
                                " does not answer with authority for " + domain + " (" +
                                facts.mnameProblem + ")"));

    // All in one network: a single outage takes the domain away.
    for (const bool v6 : {false, true}) {
        std::set<QString> networks, addresses;
        const int bits = v6 ? 48 : 24;
        for (const AddressProbe& p : facts.probes) {
            if (p.address.v6 != v6) continue;
            IpAddress network = p.address;
            for (int bit = bits; bit < network.Bits(); ++bit)
                network.bytes[size_t(bit / 8)] &= uint8_t(~(0x80 >> (bit % 8)));
            networks.insert(network.ToString() + "/" + QString::number(bits));
            addresses.insert(p.address.ToString());
        }
        if (addresses.size() > 1 && networks.size() == 1)
            lines.push_back(Warning("all servers share one network (" + *networks.begin() + ")"));
    }
    return lines;
}

QString SummaryLine(const std::vector<CheckLine>& lines) {
    int count[4] = {0, 0, 0, 0};
    for (const CheckLine& line : lines)
        ++count[int(line.verdict)];
    return QString("Name servers: %1 ok, %2, %3, %4")
        .arg(count[0])
        .arg(Counted(count[1], "notice"), Counted(count[2], "warning"), Counted(count[3], "error"));
}
