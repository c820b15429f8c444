#include "objects/nameservercheck.h"

#include "nscheck/nscheck.h"

namespace {
// The domain: value without a final dot, and each nserver: line's host and glue.
std::pair<QString, std::vector<ListedServer>> ServersOf(const RpslObject& domain) {
    QString zone = domain.First("domain");
    if (zone.endsWith('.')) zone.chop(1);
    std::vector<ListedServer> servers;
    for (const RpslAttribute* nserver : domain.All("nserver")) {
        const QStringList words = nserver->Clean().split(' ', Qt::SkipEmptyParts);
        if (words.isEmpty()) continue;
        QString glue = words.value(1);
        glue = glue.section('/', 0, 0);
        servers.push_back({words[0], glue});
    }
    return {zone, servers};
}

ObjectCheckLine Converted(const CheckLine& line) {
    const CheckVerdict verdict = line.verdict == Verdict::Ok        ? CheckVerdict::Ok
                                 : line.verdict == Verdict::Warning ? CheckVerdict::Warning
                                                                    : CheckVerdict::Error;
    return {verdict, QString(), line.text};
}
} // namespace

struct DomainNameServerCheck::Check {
    TNameServerCheck check;
    NameServerFindings findings;
};

DomainNameServerCheck::DomainNameServerCheck(QObject* parent)
    : QObject(parent), check_(std::make_unique<Check>()) {
    check_->check.OnLine = [this](const CheckLine& line) {
        check_->findings.lines.push_back(Converted(line));
        if (OnLine) OnLine(check_->findings.lines.back());
    };
    check_->check.OnFinished = [this](const QString& summary) {
        check_->findings.summary = summary;
        if (OnFinished) OnFinished(check_->findings);
    };
}

DomainNameServerCheck::~DomainNameServerCheck() {
    Cancel();
}

void DomainNameServerCheck::Start(const RpslObject& domain) {
    check_->findings = NameServerFindings();
    const auto [zone, servers] = ServersOf(domain);
    check_->check.Start(zone, servers);
}

void DomainNameServerCheck::Cancel() {
    check_->check.Cancel();
}

bool DomainNameServerCheck::Running() const {
    return check_->check.Running();
}

NameServerFindings CheckDomainNameServers(const RpslObject& domain) {
    TNameServerCheck check;
    NameServerFindings findings;
    const auto [zone, servers] = ServersOf(domain);
    check.RunToEnd(CheckRequest::FromEnvironment(zone, servers));
    for (const CheckLine& line : check.Lines())
        findings.lines.push_back(Converted(line));
    findings.summary = check.Summary();
    return findings;
}
