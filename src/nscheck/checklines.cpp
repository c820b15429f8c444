#include "nscheck/checklines.h"

#include "platform/idna.h"

#include <QRegularExpression>
#include <map>
#include <set>

QString CheckLine::Rendered() const {
    const char* word = verdict == Verdict::Ok        ? "ok"
                       : verdict == Verdict::Warning ? "warning"
                                                     : "error";
    return QString::fromLatin1(word).leftJustified(8, ' ') + text;
}

QString AddressProbe::Who() const {
    return host + " (" + address.ToString() + ")";
}

QString HostForWire(const QString& typed, QString* problem) {
    QString name = typed.trimmed();
    while (name.endsWith('.'))
        name.chop(1);
    if (!IsAscii(name)) {
        const std::optional<QString> label = ToALabel(name, problem);
        if (!label) return QString();
        name = *label;
    }
    name = name.toLower();
    static const QRegularExpression label("^[a-z0-9]([a-z0-9-]{0,61}[a-z0-9])?$");
    const QStringList labels = name.split('.');
    bool valid = name.size() <= 253 && labels.size() >= 2;
    for (const QString& l : labels)
        valid = valid && label.match(l).hasMatch();
    if (!valid) {
        if (problem) *problem = "not a valid host name";
        return QString();
    }
    return name;
}

namespace {
CheckLine Ok(const QString& text) {
    return {Verdict::Ok, text};
}
CheckLine Warning(const QString& text) {
    return {Verdict::Warning, text};
}
CheckLine Error(const QString& text) {
    return {Verdict::Error, text};
}

QString Addresses(const std::vector<IpAddress>& addresses) {
    QStringList texts;
    for (const IpAddress& a : addresses)
        texts << a.ToString();
    return texts.join(", ");
}

bool Same(const IpAddress& a, const IpAddress& b) {
    return a.v6 == b.v6 && a.bytes == b.bytes;
}

// The names of the domain's NS records in an answer.
QStringList NsSet(const QString& domain, const DnsMessage& message) {
    QStringList names;
    for (const DnsRecord& r : message.answer)
        if (r.type == dns::NS && r.owner == domain && !names.contains(r.data)) names << r.data;
    names.sort();
    return names;
}

// The serial of the domain's SOA when the answer is authoritative for it.
std::optional<quint32> AuthoritativeSerial(const QString& domain, const DnsOutcome& outcome) {
    if (!outcome.answered || outcome.message.rcode != dns::NoError || !outcome.message.aa)
        return std::nullopt;
    for (const DnsRecord& r : outcome.message.answer)
        if (r.type == dns::SOA && r.owner == domain) return r.serial;
    return std::nullopt;
}

QString RcodeName(int rcode) {
    DnsCodec* codec = Codec();
    return codec ? codec->RcodeName(rcode) : QString::number(rcode);
}
} // namespace

std::vector<CheckLine> ResolutionLines(const ListedServer& server, const QString& host,
                                       const QString& hostProblem, const Resolution& resolution) {
    std::vector<CheckLine> lines;
    const QString shown = server.host.trimmed();
    if (host.isEmpty()) {
        lines.push_back(Error(shown + ": " + hostProblem));
        return lines;
    }
    const QString typedText = server.typed.trimmed();
    const std::optional<IpAddress> typed = ParseIpAddress(typedText);
    if (!typedText.isEmpty() && !typed)
        lines.push_back(Error(host + ": the typed address " + typedText + " is no IP address"));
    if (!resolution.resolved) {
        if (typed)
            lines.push_back(Warning(host + ": does not resolve (" + resolution.problem +
                                    "); its typed address " + typed->ToString() + " is asked"));
        else
            lines.push_back(Error(host + ": does not resolve (" + resolution.problem + ")"));
        return lines;
    }
    lines.push_back(Ok(host + ": resolves to " + Addresses(resolution.addresses)));
    if (typed) {
        bool among = false;
        for (const IpAddress& a : resolution.addresses)
            among = among || Same(a, *typed);
        if (!among)
            lines.push_back(Warning(host + ": the typed address " + typed->ToString() +
                                    " is not one of its addresses (" +
                                    Addresses(resolution.addresses) + ")"));
    }
    return lines;
}

std::vector<CheckLine> AddressLines(const QString& domain, const AddressProbe& probe,
                                    const QStringList& listedHosts) {
    std::vector<CheckLine> lines;
    const QString who = probe.Who();
    if (!probe.soaUdp.answered) lines.push_back(Error(who + ": " + probe.soaUdp.problem));
    if (!probe.soaTcp.answered) lines.push_back(Error(who + ": " + probe.soaTcp.problem));
    const DnsOutcome& soa = probe.soaUdp.answered ? probe.soaUdp : probe.soaTcp;
    if (soa.answered) {
        const DnsMessage& m = soa.message;
        if (m.rcode != dns::NoError)
            lines.push_back(Error(who + ": lame for " + domain + ": " + RcodeName(m.rcode)));
        else if (!m.aa)
            lines.push_back(Error(who + ": lame: not authoritative for " + domain));
        else if (const auto serial = AuthoritativeSerial(domain, soa))
            lines.push_back(
                Ok(who + ": authoritative for " + domain + ", serial " + QString::number(*serial)));
        else
            lines.push_back(Error(who + ": lame: no SOA record for " + domain));
    }
    if (probe.nsUdp.answered && AuthoritativeSerial(domain, soa)) {
        const QStringList ns = NsSet(domain, probe.nsUdp.message);
        QStringList missing, extra;
        for (const QString& listed : listedHosts)
            if (!ns.contains(listed)) missing << listed;
        for (const QString& name : ns)
            if (!listedHosts.contains(name)) extra << name;
        for (const QString& name : missing)
            lines.push_back(Warning(who + ": its NS set for " + domain + " lacks " + name));
        if (missing.isEmpty())
            lines.push_back(Ok(who + ": its NS set names every server listed" +
                               (extra.isEmpty() ? QString() : ", and also " + extra.join(", "))));
        else if (!extra.isEmpty())
            lines.push_back(Warning(who + ": its NS set also names " + extra.join(", ")));
    }
    return lines;
}

std::vector<CheckLine> AcrossLines(const QString& domain, int serverCount,
                                   const std::vector<AddressProbe>& probes) {
    std::vector<CheckLine> lines;
    if (serverCount < 2)
        lines.push_back(Error(
            QString("only %1 name server listed: a domain needs at least two").arg(serverCount)));
    // One address, two servers.
    std::map<QString, std::set<QString>> hostsOf;
    for (const AddressProbe& p : probes)
        hostsOf[p.address.ToString()].insert(p.host);
    for (const auto& [address, hosts] : hostsOf)
        if (hosts.size() > 1)
            lines.push_back(Error(QStringList(hosts.begin(), hosts.end()).join(" and ") +
                                  " share the address " + address));

    std::map<quint32, QStringList> serials;
    std::map<QString, QStringList> nsSets;
    for (const AddressProbe& p : probes) {
        const DnsOutcome& soa = p.soaUdp.answered ? p.soaUdp : p.soaTcp;
        const auto serial = AuthoritativeSerial(domain, soa);
        if (!serial) continue;
        serials[*serial] << p.Who();
        if (p.nsUdp.answered) nsSets[NsSet(domain, p.nsUdp.message).join(", ")] << p.Who();
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
            each << who.join(", ") + ": " + set;
        lines.push_back(Warning("the NS sets differ: " + each.join("; ")));
    } else if (nsSets.size() == 1 && nsSets.begin()->second.size() > 1) {
        lines.push_back(Ok("every server has the same NS set"));
    }

    // All in one network: a single outage takes the domain away.
    for (const bool v6 : {false, true}) {
        std::set<QString> networks, addresses;
        const int bits = v6 ? 48 : 24;
        for (const AddressProbe& p : probes) {
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
    int ok = 0, warnings = 0, errors = 0;
    for (const CheckLine& line : lines)
        (line.verdict == Verdict::Ok ? ok : line.verdict == Verdict::Warning ? warnings : errors)++;
    return QString("Name servers: %1 ok, %2 warnings, %3 errors").arg(ok).arg(warnings).arg(errors);
}
