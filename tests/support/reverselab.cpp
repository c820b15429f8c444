#include "support/reverselab.h"

ReverseLab::ReverseLab(int net) : net_(net) {
    fingerprint_ = home_.MakeKey("Jane Registrant <jane@example.test>");
    if (!MayBindPort53()) return;
    const QString name = Zone;
    const QString zone =
        ZoneText(name, 2026121001, {"ns1." + name, "ns2." + name},
                 {"ns1 IN A " + Server(1), "ns2 IN A " + Server(2), "ns3 IN A " + Server(3)});
    servers_.push_back(
        std::make_unique<TestNsd>(Server(1), 53, std::vector<TestZone>{{name, zone}}));
    servers_.push_back(
        std::make_unique<TestNsd>(Server(2), 53, std::vector<TestZone>{{name, zone}}));
    const QString other = "3.0.192.in-addr.arpa";
    servers_.push_back(std::make_unique<TestNsd>(
        Server(3), 53, std::vector<TestZone>{{other, ZoneText(other, 1, {"ns3." + name})}}));
    qputenv("REGISCRIBE_RESOLVER", Server(1).toUtf8());
    qputenv("REGISCRIBE_LAB_NETWORKS", "127.0.0.0/8");
}

ReverseLab::~ReverseLab() {
    qunsetenv("REGISCRIBE_RESOLVER");
    qunsetenv("REGISCRIBE_LAB_NETWORKS");
    servers_.clear();
    home_.StopAgent();
}

QString ReverseLab::Server(int number) const {
    return QString("127.0.%1.1").arg(net_ + number - 1);
}

Done ReverseLab::Ready() const {
    if (!home_.Ready()) return Fail("no GnuPG home");
    if (fingerprint_.size() != 40) return Fail("gpg made no key");
    for (const auto& server : servers_)
        if (!server->Started()) return Fail(server->Problem());
    return {};
}
