#pragma once
// Real name servers for the tests: Debian's NSD, one instance per loopback address on port 53
// (the tests run as root, as CI does), each with zone files the test writes, started as a daemon
// and stopped by its process id. An instance that cannot start says why; the test then fails.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

struct TestZone {
    QString name; // "example.com"
    QString text; // the zone file
};

// A zone file: the SOA with `serial`, an NS record per host, then `extra` lines.
QString ZoneText(const QString& name, quint32 serial, const QStringList& nsHosts,
                 const QStringList& extra = {});

class TestNsd {
public:
    TestNsd(const QString& address, const std::vector<TestZone>& zones);
    ~TestNsd();
    TestNsd(const TestNsd&) = delete;
    TestNsd& operator=(const TestNsd&) = delete;

    bool Started() const { return pid_ > 0; }
    // Why it did not start (NSD's own log), for the failure message.
    QString Problem() const { return problem_; }
    QString Address() const { return address_; }

private:
    QTemporaryDir dir_;
    QString address_;
    qint64 pid_ = 0;
    QString problem_;
};

// A server that swallows every DNS question over UDP and TCP on `address`, port 53: it reads,
// accepts, and never answers. Runs on a thread of its own until destroyed.
class SilentDnsServer {
public:
    explicit SilentDnsServer(const QString& address);
    ~SilentDnsServer();
    bool Started() const { return udp_ >= 0 && tcp_ >= 0; }

private:
    int udp_ = -1, tcp_ = -1;
    struct Runner;
    Runner* runner_ = nullptr;
};

// The name servers the check's tests ask, on 127.0.N.1, port 53: ns1..ns4.example.net serve
// example.com (serial 2026120801, NS ns1..ns4); lame (127.0.5.1) serves only example.org; old
// (127.0.6.1) has serial 2026120701; odd (127.0.7.1) lists ns1.example.net and ns9.example.org;
// sub (127.0.10.1) serves com and delegates example.com; nobody (127.0.8.1) and quiet1..4
// (127.0.11.1 to 127.0.14.1) have no NSD. The resolver at 127.0.9.1 answers every one of these
// names in example.net; REGISCRIBE_RESOLVER names it while the world lives.
class TestNameServerWorld {
public:
    TestNameServerWorld();
    ~TestNameServerWorld();
    // Empty when every server started; else why one did not.
    QString Problem() const;

private:
    std::vector<TestNsd*> servers_;
};
