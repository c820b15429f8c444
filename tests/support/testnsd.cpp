#include "support/testnsd.h"

#include "support/tempdir.h"

#include <QFile>
#include <QProcess>
#include <QThread>
#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

QString ZoneText(const QString& name, quint32 serial, const QStringList& nsHosts,
                 const QStringList& extra) {
    QString text = "$ORIGIN " + name + ".\n$TTL 300\n@ IN SOA " + nsHosts.value(0, "ns.invalid") +
                   ". hostmaster." + name + ". " + QString::number(serial) +
                   " 3600 600 86400 300\n";
    for (const QString& host : nsHosts)
        text += "@ IN NS " + host + ".\n";
    for (const QString& line : extra)
        text += line + "\n";
    return text;
}

TestNsd::TestNsd(const QString& address, const std::vector<TestZone>& zones) : address_(address) {
    const QString dir = dir_.path();
    QString config = "server:\n  ip-address: " + address + "\n  port: 53\n  zonesdir: \"" + dir +
                     "\"\n  pidfile: \"" + dir + "/nsd.pid\"\n  logfile: \"" + dir +
                     "/nsd.log\"\n  username: \"\"\n  database: \"\"\n  xfrdfile: \"" + dir +
                     "/xfrd.state\"\n  zonelistfile: \"" + dir + "/zone.list\"\n  xfrdir: \"" +
                     dir +
                     "\"\n  do-ip6: no\n  server-count: 1\n  verbosity: 1\n"
                     "remote-control:\n  control-enable: no\n";
    for (const TestZone& zone : zones) {
        WriteAll(dir + "/" + zone.name + ".zone", zone.text.toUtf8());
        config += "zone:\n  name: " + zone.name + "\n  zonefile: " + zone.name + ".zone\n";
    }
    WriteAll(dir + "/nsd.conf", config.toUtf8());
    QProcess nsd;
    nsd.start("nsd", {"-c", dir + "/nsd.conf"});
    nsd.waitForFinished(20000);
    // The daemon writes its process id once it serves.
    for (int tries = 0; tries < 100 && pid_ == 0; ++tries) {
        pid_ = ReadAll(dir + "/nsd.pid").trimmed().toLongLong();
        if (pid_ == 0) QThread::msleep(50);
    }
    if (pid_ == 0)
        problem_ = "NSD did not start on " + address + " port 53 (it needs root): " +
                   QString::fromUtf8(nsd.readAll() + ReadAll(dir + "/nsd.log"));
}

namespace {
// Whether the process has ended: gone, or a zombie that nobody reaps (the daemon's parent is the
// machine's first process, which in a container may not reap).
bool Ended(qint64 pid) {
    const QByteArray stat = ReadAll(QString("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return stat.isEmpty() || (close > 0 && stat.mid(close + 2, 1) == "Z");
}
} // namespace

TestNsd::~TestNsd() {
    if (pid_ <= 0) return;
    ::kill(pid_t(pid_), SIGTERM);
    for (int tries = 0; tries < 100 && !Ended(pid_); ++tries)
        QThread::msleep(20);
}

struct SilentDnsServer::Runner {
    std::atomic<bool> stop{false};
    std::thread thread;
};

SilentDnsServer::SilentDnsServer(const QString& address) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(53);
    ::inet_pton(AF_INET, address.toLatin1().constData(), &a.sin_addr);
    const int one = 1;
    udp_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    tcp_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ::setsockopt(tcp_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(udp_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::bind(tcp_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(tcp_, 16) != 0) {
        ::close(udp_);
        ::close(tcp_);
        udp_ = tcp_ = -1;
        return;
    }
    runner_ = new Runner;
    runner_->thread = std::thread([this, runner = runner_] {
        std::vector<int> connections;
        while (!runner->stop) {
            pollfd p[2] = {{udp_, POLLIN, 0}, {tcp_, POLLIN, 0}};
            if (::poll(p, 2, 50) <= 0) continue;
            char buffer[4096];
            if (p[0].revents & POLLIN) (void)!::recv(udp_, buffer, sizeof buffer, 0);
            if (p[1].revents & POLLIN) {
                const int c = ::accept4(tcp_, nullptr, nullptr, SOCK_CLOEXEC);
                if (c >= 0) connections.push_back(c); // kept open, never answered
            }
        }
        for (int c : connections)
            ::close(c);
    });
}

SilentDnsServer::~SilentDnsServer() {
    if (runner_) {
        runner_->stop = true;
        runner_->thread.join();
        delete runner_;
    }
    if (udp_ >= 0) ::close(udp_);
    if (tcp_ >= 0) ::close(tcp_);
}

TestNameServerWorld::TestNameServerWorld() {
    const QStringList names{"ns1.example.net", "ns2.example.net", "ns3.example.net",
                            "ns4.example.net"};
    const QString good = ZoneText("example.com", 2026120801, names);
    for (int n = 1; n <= 4; ++n)
        servers_.push_back(new TestNsd(QString("127.0.%1.1").arg(n), {{"example.com", good}}));
    servers_.push_back(new TestNsd(
        "127.0.5.1", {{"example.org", ZoneText("example.org", 1, {"lame.example.net"})}}));
    servers_.push_back(
        new TestNsd("127.0.6.1", {{"example.com", ZoneText("example.com", 2026120701, names)}}));
    servers_.push_back(new TestNsd(
        "127.0.7.1", {{"example.com", ZoneText("example.com", 2026120801,
                                               {"ns1.example.net", "ns9.example.org"})}}));
    servers_.push_back(new TestNsd(
        "127.0.10.1",
        {{"com", ZoneText("com", 1, {"a.gtld.test"}, {"example IN NS ns1.example.net."})}}));
    QStringList hosts;
    const std::pair<const char*, const char*> addresses[] = {
        {"ns1", "127.0.1.1"},     {"ns2", "127.0.2.1"},     {"ns3", "127.0.3.1"},
        {"ns4", "127.0.4.1"},     {"lame", "127.0.5.1"},    {"old", "127.0.6.1"},
        {"odd", "127.0.7.1"},     {"nobody", "127.0.8.1"},  {"sub", "127.0.10.1"},
        {"quiet1", "127.0.11.1"}, {"quiet2", "127.0.12.1"}, {"quiet3", "127.0.13.1"},
        {"quiet4", "127.0.14.1"}};
    for (const auto& [name, address] : addresses)
        hosts << QString("%1 IN A %2").arg(name, address);
    servers_.push_back(new TestNsd(
        "127.0.9.1", {{"example.net", ZoneText("example.net", 1, {"ns1.example.net"}, hosts)}}));
    qputenv("REGISCRIBE_RESOLVER", "127.0.9.1");
}

TestNameServerWorld::~TestNameServerWorld() {
    for (TestNsd* server : servers_)
        delete server;
    qunsetenv("REGISCRIBE_RESOLVER");
}

QString TestNameServerWorld::Problem() const {
    for (const TestNsd* server : servers_)
        if (!server->Started()) return server->Problem();
    return QString();
}
