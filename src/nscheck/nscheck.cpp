#include "nscheck/nscheck.h"

#include "platform/tasks.h"
#include "platform/wait.h"

#include <thread>

namespace {
constexpr quint16 kDnsPort = 53;

} // namespace

TNameServerCheck::TNameServerCheck(QObject* parent) : QObject(parent) {}

TNameServerCheck::~TNameServerCheck() {
    Cancel();
}

void TNameServerCheck::Cancel() {
    // Answers still on their way find no check to tell.
    cancel_.Cancel();
    running_ = false;
    pending_ = 0;
}

int TNameServerCheck::Errors() const {
    int errors = 0;
    for (const CheckLine& line : lines_)
        errors += line.verdict == Verdict::Error;
    return errors;
}

void TNameServerCheck::Add(const std::vector<CheckLine>& lines) {
    for (const CheckLine& line : lines) {
        lines_.push_back(line);
        if (OnLine) OnLine(line);
    }
}

void TNameServerCheck::Start(const QString& domain, const std::vector<ListedServer>& servers) {
    Cancel();
    cancel_ = CancelToken();
    running_ = true;
    lines_.clear();
    probes_.clear();
    summary_.clear();
    listedHosts_.clear();
    servers_.clear();
    QString problem;
    domain_ = HostForWire(domain, &problem);
    if (domain_.isEmpty()) {
        Add({{Verdict::Error, domain.trimmed().isEmpty()
                                  ? QString("no domain name was given")
                                  : domain.trimmed() + ": not a valid domain name"}});
        pending_ = 0;
        return FinishIfDone();
    }
    for (const ListedServer& s : servers)
        if (!s.host.trimmed().isEmpty() || !s.typed.trimmed().isEmpty()) servers_.push_back(s);
    for (const ListedServer& s : servers_)
        if (const QString host = HostForWire(s.host, nullptr); !host.isEmpty())
            listedHosts_ << host;

    pending_ = 1; // held until every question is on its way
    for (int i = 0; i < int(servers_.size()); ++i) {
        const ListedServer& server = servers_[size_t(i)];
        QString hostProblem;
        const QString host = HostForWire(server.host, &hostProblem);
        if (server.host.trimmed().isEmpty()) {
            Add({{Verdict::Error, "the address " + server.typed.trimmed() + " has no host name"}});
            continue;
        }
        if (host.isEmpty()) {
            Add(ResolutionLines(server, host, hostProblem, Resolution()));
            continue;
        }
        // A typed address is asked at once, beside the name's resolution.
        if (const auto typed = ParseIpAddress(server.typed.trimmed())) Probe(host, *typed);
        ++pending_;
        Tasks::Run<Resolution>(
            this, cancel_, [host](const CancelToken&) { return ResolveHost(host); },
            [this, i, host](const Resolution& r) { Resolved(i, host, r); });
    }
    --pending_;
    FinishIfDone();
}

void TNameServerCheck::Resolved(int server, const QString& host, const Resolution& resolution) {
    --pending_;
    Add(ResolutionLines(servers_[size_t(server)], host, QString(), resolution));
    for (const IpAddress& address : resolution.addresses) {
        bool asked = false;
        for (const AddressProbe& p : probes_)
            asked = asked || (p.host == host && p.address.v6 == address.v6 &&
                              p.address.bytes == address.bytes);
        if (!asked) Probe(host, address);
    }
    FinishIfDone();
}

void TNameServerCheck::Probe(const QString& host, const IpAddress& address) {
    AddressProbe asking;
    asking.host = host;
    asking.address = address;
    probes_.push_back(asking);
    ++pending_;
    const QString domain = domain_;
    Tasks::Run<AddressProbe>(
        this, cancel_,
        [asking, domain](const CancelToken&) {
            AddressProbe probe = asking;
            // The three questions at once: an address that never answers costs one wait.
            std::thread tcp(
                [&] { probe.soaTcp = AskServer(probe.address, kDnsPort, domain, dns::SOA, true); });
            std::thread ns(
                [&] { probe.nsUdp = AskServer(probe.address, kDnsPort, domain, dns::NS, false); });
            probe.soaUdp = AskServer(probe.address, kDnsPort, domain, dns::SOA, false);
            tcp.join();
            ns.join();
            return probe;
        },
        [this](const AddressProbe& probe) { Probed(probe); });
}

void TNameServerCheck::Probed(const AddressProbe& probe) {
    --pending_;
    for (AddressProbe& p : probes_)
        if (p.host == probe.host && p.address.bytes == probe.address.bytes &&
            p.address.v6 == probe.address.v6)
            p = probe;
    Add(AddressLines(domain_, probe, listedHosts_));
    FinishIfDone();
}

void TNameServerCheck::FinishIfDone() {
    if (!running_ || pending_ > 0) return;
    if (!domain_.isEmpty()) Add(AcrossLines(domain_, int(servers_.size()), probes_));
    summary_ = SummaryLine(lines_);
    running_ = false;
    if (OnFinished) OnFinished(summary_);
}

void TNameServerCheck::RunToEnd(const QString& domain, const std::vector<ListedServer>& servers) {
    Start(domain, servers);
    WaitUntil([this] { return !running_; });
}

std::vector<ListedServer> ListedServersOf(const Record& record) {
    static const char* const fields[4][2] = {{"PriNSEdit", "PriNSIPEdit"},
                                             {"SecNSEdit", "SecNSIPEdit"},
                                             {"ThirdNSEdit", "ThirdNSIPEdit"},
                                             {"fourthnsedit", "fourthnsipedit"}};
    std::vector<ListedServer> servers;
    for (const auto& [host, address] : fields)
        servers.push_back({record.Text(host), record.Text(address)});
    return servers;
}
