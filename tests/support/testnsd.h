#pragma once
// Real name servers for the tests, on loopback addresses: Debian's NSD for zones, BIND for a
// recursor, and small Python servers (quirkydns.py) for the faults neither shows. Each is started
// as a process of its own and stopped by its process id; one that cannot start says why.
//
// NameServerLab puts up every case of the check's tests on one port: 53 (as root, as CI runs) or
// a free high port, which the check is then told to ask.
#include "support/childprocess.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

struct TestZone {
    QString name; // "example.test"
    QString text; // the zone file
};

// A zone file: the SOA with `serial` (the first NS host as primary, unless `mname` is given), an
// NS record per host, then `extra` lines.
QString ZoneText(const QString& name, quint32 serial, const QStringList& nsHosts,
                 const QStringList& extra = {}, const QString& mname = QString());

// A daemon started with a configuration file and stopped by the process id it writes.
class TestDaemon {
public:
    virtual ~TestDaemon();
    bool Started() const { return pid_ > 0; }
    QString Problem() const { return problem_; }
    // Whether the daemon takes TCP connections on `address`:`port` within five seconds: a daemon
    // writes its process id before it listens, and a port of one address may be taken on another.
    static bool TakesTcp(const QString& address, quint16 port);

protected:
    // Runs `program` (it forks into the background) and waits for `pidFile`.
    void Launch(const QString& program, const QStringList& args, const QString& pidFile,
                const QString& log);
    QTemporaryDir dir_;
    qint64 pid_ = 0;
    QString problem_;
};

class TestNsd : public TestDaemon {
public:
    TestNsd(const QString& address, quint16 port, const std::vector<TestZone>& zones);
};

// BIND as an open recursor that forwards every question to `forwarder` (port `port`), and
// authoritative for `zones`.
class TestNamed : public TestDaemon {
public:
    TestNamed(const QString& address, quint16 port, const QString& forwarder,
              const std::vector<TestZone>& zones);
};

// quirkydns.py in one of its modes (see the script).
class QuirkyDns {
public:
    QuirkyDns(const QString& address, quint16 port, const QString& mode,
              const QStringList& args = {});
    ~QuirkyDns();
    quint16 Port() const { return port_; }
    bool Started() const { return port_ != 0; }

private:
    ChildProcess process_;
    quint16 port_ = 0;
};

// The check's cases, each a domain on the servers of 127.0.N.1 (see the zones in testnsd.cpp):
// the root and "test." (with every out-of-domain server name, in hosts.test) on 127.0.9.1, which
// also serves as the resolver; NSD, BIND and Python servers for the domains.
class NameServerLab {
public:
    // Port 0: a free high port.
    explicit NameServerLab(quint16 port);
    ~NameServerLab();
    // Empty when every server started; else why one did not.
    QString Problem() const { return problem_; }
    quint16 Port() const { return port_; }
    // REGISCRIBE_RESOLVER for this lab.
    QString Resolver() const;
    // A root hints file naming the lab's root (for zonemaster-cli).
    QString HintsFile() const;

private:
    bool Start(quint16 port);
    void Stop();
    quint16 port_ = 0;
    QString problem_;
    QTemporaryDir dir_;
    std::vector<std::unique_ptr<TestDaemon>> daemons_;
    std::vector<std::unique_ptr<QuirkyDns>> quirky_;
};

// True when this process may bind port 53.
bool MayBindPort53();

// Test suites against the lab on port 53, the port the programs ask (the window, regiscribe-cli):
// while a suite runs REGISCRIBE_RESOLVER names the lab's resolver and REGISCRIBE_LAB_NETWORKS its
// loopback network. Without root its tests are skipped.
class LabForProgramsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

private:
    static NameServerLab* lab_;
};
