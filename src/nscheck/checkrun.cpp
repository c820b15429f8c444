#include "nscheck/checkrun.h"

#include "nscheck/reservedaddress.h"

#include <QFile>
#include <deque>
#include <map>
#include <set>

CheckRequest CheckRequest::FromEnvironment(const QString& domain,
                                           const std::vector<ListedServer>& servers) {
    CheckRequest request;
    request.domain = domain;
    request.servers = servers;
    request.labNetworks = QString::fromLocal8Bit(qgetenv("REGISCRIBE_LAB_NETWORKS")).trimmed();
    request.resolver = QString::fromLocal8Bit(qgetenv("REGISCRIBE_RESOLVER")).trimmed();
    return request;
}

int CheckOutcome::Errors() const {
    int errors = 0;
    for (const CheckLine& line : lines)
        errors += line.verdict == Verdict::Error;
    return errors;
}

namespace {
struct Endpoint {
    IpAddress address;
    quint16 port = 53;
};

// The resolver REGISCRIBE_RESOLVER names ("ADDRESS", "ADDRESS:PORT", "[IPv6]:PORT"), else the
// first name server of /etc/resolv.conf, else this machine's (as the C library does).
Result<Endpoint> ResolverEndpoint(const QString& configured) {
    Endpoint endpoint;
    if (configured.isEmpty()) {
        QFile conf("/etc/resolv.conf");
        if (conf.open(QIODevice::ReadOnly))
            for (const QByteArray& raw : conf.readAll().split('\n')) {
                const QStringList words =
                    QString::fromLatin1(raw).simplified().split(' ', Qt::SkipEmptyParts);
                if (words.size() >= 2 && words[0] == "nameserver")
                    if (const auto address = ParseIpAddress(words[1].section('%', 0, 0))) {
                        endpoint.address = *address;
                        return endpoint;
                    }
            }
        endpoint.address = *ParseIpAddress("127.0.0.1");
        return endpoint;
    }
    QString host = configured;
    bool portOk = true;
    if (configured.startsWith('[')) {
        host = configured.section(']', 0, 0).mid(1);
        const QString rest = configured.section(']', 1);
        if (rest.startsWith(':')) endpoint.port = quint16(rest.mid(1).toUInt(&portOk));
    } else if (configured.count(':') == 1) {
        host = configured.section(':', 0, 0);
        endpoint.port = quint16(configured.section(':', 1).toUInt(&portOk));
    }
    const std::optional<IpAddress> parsed = ParseIpAddress(host);
    if (!parsed || !portOk || endpoint.port == 0)
        return Fail("REGISCRIBE_RESOLVER is not an address: " + configured);
    endpoint.address = *parsed;
    return endpoint;
}

// The addresses of `name` of `type` in an answer, through the aliases it holds; the first alias.
void TakeAddresses(const DnsMessage& message, const QString& name, int type, Resolution& into) {
    QString target = name;
    for (int hops = 0; hops < 10; ++hops) {
        bool followed = false;
        for (const DnsRecord& r : message.answer)
            if (r.owner == target && r.type == dns::CNAME) {
                if (into.cname.isEmpty() && target == name) into.cname = r.data;
                target = r.data;
                followed = true;
                break;
            }
        if (!followed) break;
    }
    std::vector<IpAddress>& list = type == dns::A ? into.v4 : into.v6;
    int& found = type == dns::A ? into.v4Found : into.v6Found;
    for (const DnsRecord& r : message.answer)
        if (r.owner == target && r.type == type)
            if (const auto ip = ParseIpAddress(r.data)) {
                bool known = false;
                for (const IpAddress& seen : list)
                    known = known || SameAddress(seen, *ip);
                if (known) continue;
                ++found;
                // The first few of each family are asked: thirty records are no thirty servers.
                if (int(list.size()) < kAddressCap) list.push_back(*ip);
            }
}

struct Server {
    QString host; // wire form
    bool inZone = false;
    std::vector<IpAddress> typed;
    std::vector<IpAddress> resolved;
};

struct ProbeState {
    AddressProbe probe;
    bool asked = false;
    int pending = 0;
};

class CheckRun {
public:
    CheckRun(const CheckRequest& request, const CancelToken& token,
             const std::function<void(const CheckLine&)>& onLine)
        : request_(request), token_(token), onLine_(onLine) {}

    CheckOutcome Run();

private:
    void Add(const std::vector<CheckLine>& lines) {
        for (const CheckLine& line : lines) {
            outcome_.lines.push_back(line);
            if (onLine_) onLine_(line);
        }
    }
    void Add(Verdict verdict, const QString& text) { Add({{verdict, text}}); }
    bool ReadServers();
    void Probe(const QString& host, const IpAddress& address);
    void Resolve(const QString& name, std::function<void(const Resolution&)> done);
    void AskZone(const QString& name, std::function<void(bool, const Resolution&)> done);
    // Inside the domain: from its servers; outside: from the resolver.
    void Lookup(const QString& name, std::function<void(const Resolution&)> done);
    void SeenNsSet(const AddressProbe& probe);
    void SeenMname(const QString& mname);
    void AskMname(const Resolution& resolution);
    bool Reachable(const IpAddress& address) const {
        return !SpecialPurposeBlock(address) || InAnyNetwork(address, lab_);
    }

    const CheckRequest& request_;
    CancelToken token_;
    const std::function<void(const CheckLine&)>& onLine_;
    CheckOutcome outcome_;
    DnsAsker* asker_ = nullptr;
    QString domain_;
    std::vector<IpNetwork> lab_;
    std::vector<Server> servers_;
    std::deque<ProbeState> probes_;
    bool toldIpv6Skipped_ = false;
    std::set<QString> nsNamesSeen_;
    std::vector<std::pair<QString, Resolution>> unlistedNs_;
    QString mname_, mnameProblem_;
    bool mnameAnswered_ = false;
};

bool CheckRun::ReadServers() {
    const Result<QString> domain = HostForWire(request_.domain);
    if (!domain) {
        Add(Verdict::Error, request_.domain.trimmed().isEmpty()
                                ? QString("no domain name was given")
                                : request_.domain.trimmed() + ": not a valid domain name");
        return false;
    }
    domain_ = domain.Value();
    for (const ListedServer& row : request_.servers) {
        const QString typedHost = row.host.trimmed(), typedAddress = row.typed.trimmed();
        if (typedHost.isEmpty() && typedAddress.isEmpty()) continue;
        if (typedHost.isEmpty()) {
            Add(Verdict::Error, "the address " + typedAddress + " has no host name");
            continue;
        }
        if (ParseIpAddress(typedHost)) {
            Add(Verdict::Error, typedHost + ": an IP address is not a host name");
            continue;
        }
        const Result<QString> host = HostForWire(typedHost);
        if (!host) {
            Add(Verdict::Error, typedHost + ": " + host.Error());
            continue;
        }
        std::optional<IpAddress> address;
        if (!typedAddress.isEmpty()) {
            address = ParseIpAddress(typedAddress);
            if (!address)
                Add(Verdict::Error,
                    host.Value() + ": the typed address " + typedAddress + " is no IP address");
        }
        Server* server = nullptr;
        for (Server& s : servers_)
            if (s.host == host.Value()) server = &s;
        if (server) {
            Add(Verdict::Notice, host.Value() + " is listed twice");
        } else {
            servers_.push_back({host.Value(), InsideDomain(host.Value(), domain_), {}, {}});
            server = &servers_.back();
        }
        if (address) {
            bool known = false;
            for (const IpAddress& a : server->typed)
                known = known || SameAddress(a, *address);
            if (!known) server->typed.push_back(*address);
        }
    }
    return true;
}

void CheckRun::Probe(const QString& host, const IpAddress& address) {
    if (address.v6 && request_.skipIpv6) {
        if (!toldIpv6Skipped_) Add(Verdict::Notice, "IPv6 addresses are left out, as asked");
        toldIpv6Skipped_ = true;
        return;
    }
    for (const ProbeState& s : probes_)
        if (s.probe.host == host && SameAddress(s.probe.address, address)) return;
    probes_.push_back({});
    ProbeState& state = probes_.back();
    state.probe.host = host;
    state.probe.address = address;
    if (const auto block = SpecialPurposeBlock(address); block && !InAnyNetwork(address, lab_)) {
        // Never asked: no resolver on the Internet could ask it either.
        Add(Verdict::Error,
            state.probe.Who() + ": not reachable from the Internet (" + *block + ")");
        return;
    }
    state.asked = true;
    auto ask = [&](DnsReply AddressProbe::*slot, const QString& name, int type, bool tcp,
                   DnsQueryForm form, bool retry) {
        DnsQuestion q;
        q.server = address;
        q.port = request_.port;
        q.name = name;
        q.type = type;
        q.tcp = tcp;
        q.form = form;
        q.retryWithoutEdns = retry;
        ++state.pending;
        asker_->Ask(q, [this, &state, slot](const DnsReply& reply) {
            state.probe.*slot = reply;
            if (slot == &AddressProbe::ns) SeenNsSet(state.probe);
            if (--state.pending > 0) return;
            Add(AddressLines(domain_, state.probe));
            SeenMname(state.probe.Mname(domain_));
        });
    };
    // With EDNS and, beside it, without: a server that drops EDNS queries is told apart from one
    // that is down, within the time of one question.
    ask(&AddressProbe::soaUdp, domain_, dns::SOA, false, {false, true}, false);
    ask(&AddressProbe::soaPlain, domain_, dns::SOA, false, {false, false}, false);
    ask(&AddressProbe::soaTcp, domain_, dns::SOA, true, {false, true}, true);
    ask(&AddressProbe::soaTcpPlain, domain_, dns::SOA, true, {false, false}, false);
    ask(&AddressProbe::ns, domain_, dns::NS, false, {false, true}, true);
    ask(&AddressProbe::recursion, ".", dns::SOA, false, {true, true}, true);
}

void CheckRun::Resolve(const QString& name, std::function<void(const Resolution&)> done) {
    const Result<Endpoint> resolver = ResolverEndpoint(request_.resolver);
    if (!resolver) {
        Resolution failed;
        failed.problem = resolver.Error();
        return done(failed);
    }
    struct Pending {
        Resolution result;
        DnsReply v4, v6;
        int left = 2;
    };
    auto pending = std::make_shared<Pending>();
    for (const int type : {dns::A, dns::AAAA}) {
        DnsQuestion q;
        q.server = resolver->address;
        q.port = resolver->port;
        q.name = name;
        q.type = type;
        q.form.recursive = true;
        asker_->Ask(q, [this, pending, name, type, done](const DnsReply& reply) {
            (type == dns::A ? pending->v4 : pending->v6) = reply;
            if (reply.answered && reply.message.rcode == dns::NoError)
                TakeAddresses(reply.message, name, type, pending->result);
            if (--pending->left > 0) return;
            Resolution& r = pending->result;
            r.resolved = !r.v4.empty() || !r.v6.empty();
            if (!r.resolved) {
                const DnsReply& first = pending->v4.answered ? pending->v4 : pending->v6;
                if (!first.answered)
                    r.problem = "the resolver gave no answer: " + pending->v4.problem;
                else if (first.message.rcode != dns::NoError)
                    r.problem = asker_->codec().RcodeName(first.message.rcode);
                else
                    r.problem = "no address";
            }
            done(r);
        });
    }
}

void CheckRun::AskZone(const QString& name, std::function<void(bool, const Resolution&)> done) {
    struct Pending {
        Resolution result;
        bool answered = false, nxdomain = false;
        int left = 0;
    };
    auto pending = std::make_shared<Pending>();
    std::vector<IpAddress> targets;
    for (const ProbeState& s : probes_)
        if (s.asked) targets.push_back(s.probe.address);
    auto finish = [this, pending, done] {
        Resolution& r = pending->result;
        r.resolved = !r.v4.empty() || !r.v6.empty();
        if (!r.resolved)
            r.problem = pending->nxdomain   ? asker_->codec().RcodeName(dns::NxDomain)
                        : pending->answered ? QString("no address")
                                            : QString("no server of the domain answered");
        done(pending->answered, r);
    };
    if (targets.empty()) return finish();
    for (const IpAddress& target : targets)
        for (const int type : {dns::A, dns::AAAA}) {
            DnsQuestion q;
            q.server = target;
            q.port = request_.port;
            q.name = name;
            q.type = type;
            ++pending->left;
            asker_->Ask(q, [pending, name, type, finish](const DnsReply& reply) {
                const DnsMessage& m = reply.message;
                if (reply.answered && m.aa &&
                    (m.rcode == dns::NoError || m.rcode == dns::NxDomain)) {
                    pending->answered = true;
                    pending->nxdomain = pending->nxdomain || m.rcode == dns::NxDomain;
                    TakeAddresses(m, name, type, pending->result);
                }
                if (--pending->left == 0) finish();
            });
        }
}

void CheckRun::Lookup(const QString& name, std::function<void(const Resolution&)> done) {
    if (InsideDomain(name, domain_))
        AskZone(name, [done](bool, const Resolution& r) { done(r); });
    else
        Resolve(name, std::move(done));
}

void CheckRun::SeenNsSet(const AddressProbe& probe) {
    const std::optional<QStringList> set = probe.NsSet(domain_);
    if (!set) return;
    for (const QString& name : *set) {
        bool listed = false;
        for (const Server& s : servers_)
            listed = listed || s.host == name;
        if (listed || !nsNamesSeen_.insert(name).second) continue;
        const size_t index = unlistedNs_.size();
        unlistedNs_.push_back({name, Resolution()});
        unlistedNs_[index].second.resolved = true; // until the look-up says otherwise
        Lookup(name, [this, index](const Resolution& r) { unlistedNs_[index].second = r; });
    }
}

void CheckRun::SeenMname(const QString& mname) {
    if (mname.isEmpty() || !mname_.isEmpty()) return;
    mname_ = mname;
    for (const Server& s : servers_)
        if (s.host == mname) return; // judged by its own answers at the end
    mnameProblem_ = "no answer yet";
    Lookup(mname, [this](const Resolution& r) {
        if (!r.resolved) {
            mnameProblem_ = "it does not resolve: " + r.problem;
            return;
        }
        AskMname(r);
    });
}

void CheckRun::AskMname(const Resolution& resolution) {
    mnameProblem_ = "none of its addresses can be asked from here";
    for (const IpAddress& address : resolution.All()) {
        if (!Reachable(address) || (address.v6 && request_.skipIpv6)) continue;
        DnsQuestion q;
        q.server = address;
        q.port = request_.port;
        q.name = domain_;
        q.type = dns::SOA;
        asker_->Ask(q, [this](const DnsReply& reply) {
            if (mnameAnswered_) return;
            const DnsMessage& m = reply.message;
            bool soa = false;
            for (const DnsRecord& r : m.answer)
                soa = soa || (r.type == dns::SOA && r.owner == domain_);
            if (reply.answered && m.rcode == dns::NoError && m.aa && soa) {
                mnameAnswered_ = true;
                mnameProblem_.clear();
            } else {
                mnameProblem_ = !reply.answered           ? reply.problem
                                : m.rcode != dns::NoError ? asker_->codec().RcodeName(m.rcode)
                                                          : QString("not authoritative");
            }
        });
    }
}

CheckOutcome CheckRun::Run() {
    const Result<DnsCodec*> codec = Codec();
    if (!codec) {
        // One line: without DNS nothing can be asked, which says nothing about the servers.
        Add(Verdict::Error, codec.Error());
        outcome_.summary = SummaryLine(outcome_.lines);
        return outcome_;
    }
    const Result<std::vector<IpNetwork>> lab = ParseLabNetworks(request_.labNetworks);
    if (!lab)
        Add(Verdict::Error, "REGISCRIBE_LAB_NETWORKS: " + lab.Error());
    else
        lab_ = lab.Value();
    if (!ReadServers()) {
        outcome_.summary = SummaryLine(outcome_.lines);
        return outcome_;
    }
    DnsAsker asker(*codec.Value(), token_, QDeadlineTimer(request_.timeLimitMs));
    asker_ = &asker;

    // Typed addresses are asked at once, beside the look-ups of names outside the domain.
    for (const Server& s : servers_)
        for (const IpAddress& a : s.typed)
            Probe(s.host, a);
    for (size_t i = 0; i < servers_.size(); ++i) {
        Server& s = servers_[i];
        if (s.inZone) {
            if (s.typed.empty()) {
                Add(Verdict::Error,
                    s.host + ": inside " + domain_ + ", so it needs a typed address (glue)");
                continue;
            }
            AskZone(s.host, [this, i](bool answered, const Resolution& zone) {
                Add(GlueLines(servers_[i].host, servers_[i].typed, answered, zone));
            });
            continue;
        }
        Resolve(s.host, [this, i](const Resolution& r) {
            Server& server = servers_[i];
            Add(ResolutionLines(domain_, server.host, server.typed, r));
            if (!r.resolved) return;
            server.resolved = r.All();
            for (const IpAddress& a : server.resolved)
                Probe(server.host, a);
        });
    }
    asker.Run();
    asker_ = nullptr;
    if (token_.Cancelled()) return outcome_;

    CheckFacts facts;
    facts.domain = domain_;
    for (const Server& s : servers_) {
        facts.listedHosts << s.host;
        bool v4 = false, v6 = false;
        for (const auto* list : {&s.typed, &s.resolved})
            for (const IpAddress& a : *list)
                (a.v6 ? v6 : v4) = true;
        facts.serversWithIpv4 += v4;
        facts.serversWithIpv6 += v6;
    }
    for (const ProbeState& s : probes_)
        facts.probes.push_back(s.probe);
    facts.unlistedNs = unlistedNs_;
    facts.mname = mname_;
    facts.mnameProblem = mnameProblem_;
    bool listedMname = false;
    for (const Server& s : servers_)
        listedMname = listedMname || s.host == mname_;
    if (listedMname) {
        bool answers = false;
        for (const ProbeState& s : probes_)
            answers = answers || (s.probe.host == mname_ && s.probe.Serial(domain_));
        facts.mnameProblem = answers ? QString() : QString("none of its addresses answers so");
    }
    Add(AcrossLines(facts));
    outcome_.summary = SummaryLine(outcome_.lines);
    if (!lab_.empty()) {
        QStringList shown;
        for (const QString& part : request_.labNetworks.split(',', Qt::SkipEmptyParts))
            shown << part.trimmed();
        outcome_.summary += " (lab networks: " + shown.join(", ") + ")";
    }
    return outcome_;
}
} // namespace

CheckOutcome RunNameServerCheck(const CheckRequest& request, const CancelToken& token,
                                const std::function<void(const CheckLine&)>& onLine) {
    CheckRun run(request, token, onLine);
    return run.Run();
}
