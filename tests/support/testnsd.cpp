#include "support/testnsd.h"

#include "support/childprocess.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QElapsedTimer>
#include <QThread>
#include <arpa/inet.h>
#include <csignal>
#include <mutex>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#include <sanitizer/common_interface_defs.h>
#define REGISCRIBE_DEATH_CALLBACK 1
#endif
#endif

QString ZoneText(const QString& name, quint32 serial, const QStringList& nsHosts,
                 const QStringList& extra, const QString& mname) {
    const QString primary = mname.isEmpty() ? nsHosts.value(0, "ns.invalid") : mname;
    const QString origin = name == "." ? QString(".") : name + ".";
    QString text = "$ORIGIN " + origin + "\n$TTL 300\n@ IN SOA " + primary + ". hostmaster." +
                   (name == "." ? QString() : origin) + " " + QString::number(serial) +
                   " 3600 600 86400 300\n";
    for (const QString& host : nsHosts)
        text += "@ IN NS " + host + ".\n";
    for (const QString& line : extra)
        text += line + "\n";
    return text;
}

namespace {
// Whether the process has ended: gone, or a zombie that nobody reaps (the daemon's parent is the
// machine's first process, which in a container may not reap).
bool Ended(qint64 pid) {
    const QByteArray stat = ReadAll(QString("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return stat.isEmpty() || (close > 0 && stat.mid(close + 2, 1) == "Z");
}

// The daemons running now. A sanitizer's report ends this program at once, without destructors:
// its last call stops them, so that none is left holding the lab's addresses.
std::mutex liveLock;
std::set<pid_t> live;

[[maybe_unused]] void StopLiveDaemons() {
    if (!liveLock.try_lock()) return; // the dying thread held it: nothing safe to read
    for (pid_t pid : live)
        ::kill(pid, SIGTERM);
    liveLock.unlock();
}

void Track(pid_t pid, bool running) {
#ifdef REGISCRIBE_DEATH_CALLBACK
    static const bool registered = [] {
        __sanitizer_set_death_callback(StopLiveDaemons);
        return true;
    }();
    (void)registered;
#endif
    std::lock_guard lock(liveLock);
    if (running)
        live.insert(pid);
    else
        live.erase(pid);
}
} // namespace

void TestDaemon::Launch(const QString& program, const QStringList& args, const QString& pidFile,
                        const QString& log) {
    ChildProcess daemon;
    daemon.SetError(ChildProcess::Channel::IntoOutput);
    if (daemon.Start(program, args)) daemon.WaitForFinished(20000);
    // The daemon writes its process id once it serves.
    for (int tries = 0; tries < 100 && pid_ == 0; ++tries) {
        pid_ = ReadAll(pidFile).trimmed().toLongLong();
        if (pid_ == 0 && !daemon.Running() && daemon.ExitCode() != 0) break;
        if (pid_ == 0) QThread::msleep(50);
    }
    if (pid_ > 0) Track(pid_t(pid_), true);
    if (pid_ == 0)
        problem_ = program + " did not start: " + daemon.Problem() +
                   QString::fromUtf8(daemon.TakeOutput()) + QString::fromUtf8(ReadAll(log));
}

bool TestDaemon::TakesTcp(const QString& address, quint16 port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &to.sin_addr) != 1) return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        const bool taken = ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
        ::close(fd);
        if (taken) return true;
        QThread::msleep(20);
    }
    return false;
}

TestDaemon::~TestDaemon() {
    if (pid_ <= 0) return;
    ::kill(pid_t(pid_), SIGTERM);
    Track(pid_t(pid_), false);
    for (int tries = 0; tries < 250 && !Ended(pid_); ++tries)
        QThread::msleep(20);
}

TestNsd::TestNsd(const QString& address, quint16 port, const std::vector<TestZone>& zones) {
    const QString dir = dir_.path();
    QString config =
        "server:\n  ip-address: " + address + "\n  port: " + QString::number(port) +
        "\n  zonesdir: \"" + dir + "\"\n  pidfile: \"" + dir + "/nsd.pid\"\n  logfile: \"" + dir +
        "/nsd.log\"\n  username: \"\"\n  database: \"\"\n  xfrdfile: \"" + dir +
        "/xfrd.state\"\n  zonelistfile: \"" + dir + "/zone.list\"\n  xfrdir: \"" + dir +
        "\"\n  do-ip6: no\n  server-count: 1\n  verbosity: 1\n"
        "remote-control:\n  control-enable: no\n";
    for (const TestZone& zone : zones) {
        const QString file = (zone.name == "." ? QString("root") : zone.name) + ".zone";
        WriteAll(dir + "/" + file, zone.text.toUtf8());
        config += "zone:\n  name: \"" + zone.name + "\"\n  zonefile: \"" + file + "\"\n";
    }
    WriteAll(dir + "/nsd.conf", config.toUtf8());
    Launch("nsd", {"-c", dir + "/nsd.conf"}, dir + "/nsd.pid", dir + "/nsd.log");
}

TestNamed::TestNamed(const QString& address, quint16 port, const QString& forwarder,
                     const std::vector<TestZone>& zones) {
    const QString dir = dir_.path(), p = QString::number(port);
    // Root hints of the lab's own root: no priming question leaves the machine.
    WriteAll(dir + "/root.hints",
             (". 3600000 NS a.root.test.\na.root.test. 3600000 A " + forwarder + "\n").toUtf8());
    QString config = "options {\n  directory \"" + dir + "\";\n  pid-file \"" + dir +
                     "/named.pid\";\n  listen-on port " + p + " { " + address +
                     "; };\n  listen-on-v6 { none; };\n  query-source address " + address +
                     ";\n  recursion yes;\n  allow-recursion { any; };\n  allow-query { any; };\n"
                     "  forwarders { " +
                     forwarder + " port " + p +
                     "; };\n  forward only;\n  dnssec-validation no;\n  session-keyfile \"" + dir +
                     "/session.key\";\n  managed-keys-directory \"" + dir +
                     "\";\n};\ncontrols { };\nlogging { channel f { file \"" + dir +
                     "/named.log\"; severity info; }; category default { f; }; };\n"
                     "zone \".\" { type hint; file \"" +
                     dir + "/root.hints\"; };\n";
    for (const TestZone& zone : zones) {
        WriteAll(dir + "/" + zone.name + ".zone", zone.text.toUtf8());
        config += "zone \"" + zone.name + "\" { type primary; file \"" + dir + "/" + zone.name +
                  ".zone\"; };\n";
    }
    WriteAll(dir + "/named.conf", config.toUtf8());
    Launch("/usr/sbin/named", {"-4", "-n", "1", "-c", dir + "/named.conf"}, dir + "/named.pid",
           dir + "/named.log");
}

QuirkyDns::QuirkyDns(const QString& address, quint16 port, const QString& mode,
                     const QStringList& args) {
    port_ = StartPythonServer(process_, "support/quirkydns.py",
                              QStringList{address, QString::number(port), mode} + args);
}

QuirkyDns::~QuirkyDns() {
    StopPythonServer(process_);
}

bool MayBindPort53() {
    return ::geteuid() == 0;
}

namespace {
const quint32 kSerial = 2026120801;

// Every out-of-domain server name of the cases, in the lab's "test." zone.
QStringList HostRecords() {
    QStringList records{"a.root IN A 127.0.9.1"};
    const std::pair<const char*, const char*> hosts[] = {
        {"ns1.hosts", "127.0.24.1"},     {"ns2.hosts", "127.0.40.1"},
        {"lame.hosts", "127.0.31.1"},    {"hidden.hosts", "127.0.31.1"},
        {"tc.hosts", "127.0.25.1"},      {"noedns.hosts", "127.0.27.1"},
        {"formerr.hosts", "127.0.28.1"}, {"qr0.hosts", "127.0.29.1"},
        {"recursor.hosts", "127.0.0.1"}, {"quiet1.hosts", "127.0.11.1"},
        {"quiet2.hosts", "127.0.12.1"},  {"quiet3.hosts", "127.0.13.1"},
        {"quiet4.hosts", "127.0.14.1"}};
    for (const auto& [name, address] : hosts)
        records << QString("%1 IN A %2").arg(name, address);
    records << "alias.hosts IN CNAME ns1.hosts.test.";
    for (int n = 1; n <= 30; ++n)
        records << QString("many.hosts IN A 127.0.50.%1").arg(n);
    return records;
}

QStringList Hosts(const QString& first, const QString& second = "ns2.hosts.test") {
    return {first, second};
}
} // namespace

NameServerLab::NameServerLab(quint16 port) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (Start(port)) return;
        if (port != 0) return;
        Stop(); // a port someone else had on one of the addresses: another one
    }
}

NameServerLab::~NameServerLab() {
    Stop();
}

void NameServerLab::Stop() {
    quirky_.clear();
    daemons_.clear();
}

bool NameServerLab::Start(quint16 port) {
    problem_.clear();
    // The first server finds the port when none is given; everyone else takes it too.
    const QStringList tcZone{"--zone", "tc.test", QString::number(kSerial), "tc.hosts.test",
                             "ns2.hosts.test"};
    quirky_.push_back(std::make_unique<QuirkyDns>("127.0.25.1", port, "tc", tcZone));
    port_ = quirky_.back()->Port();
    if (port_ == 0) {
        problem_ = "the Python server did not start on port " + QString::number(port);
        return false;
    }
    const QString p = QString::number(port_);
    for (const auto& [address, mode, domain] : {std::tuple{"127.0.27.1", "noedns", "noedns.test"},
                                                std::tuple{"127.0.28.1", "formerr", "formerr.test"},
                                                std::tuple{"127.0.29.1", "qr0", "qr0.test"}}) {
        const QString host = QString(mode) + ".hosts.test";
        quirky_.push_back(std::make_unique<QuirkyDns>(
            address, port_, mode,
            QStringList{"--zone", domain, QString::number(kSerial), host, "ns2.hosts.test"}));
    }

    const QString root = ZoneText(".", 1, {"a.root.test"},
                                  {"test. IN NS a.root.test.", "a.root.test. IN A 127.0.9.1"});
    const QString test = ZoneText("test", 1, {"a.root.test"}, HostRecords());
    daemons_.push_back(std::make_unique<TestNsd>(
        "127.0.9.1", port_, std::vector<TestZone>{{".", root}, {"test", test}}));

    // Servers inside their domain: newshop.test, glue typed, on three addresses.
    const QString newshop =
        ZoneText("newshop.test", kSerial, {"ns1.newshop.test", "ns2.newshop.test"},
                 {"ns1 IN A 127.0.21.1", "ns2 IN A 127.0.22.1"});
    for (const char* address : {"127.0.21.1", "127.0.22.1", "127.0.23.1"})
        daemons_.push_back(std::make_unique<TestNsd>(
            address, port_, std::vector<TestZone>{{"newshop.test", newshop}}));

    // Servers outside: ns1.hosts.test (127.0.24.1) and ns2.hosts.test (127.0.40.1).
    const std::vector<TestZone> both = {
        {"example.test", ZoneText("example.test", kSerial, Hosts("ns1.hosts.test"))},
        {"cname.test", ZoneText("cname.test", kSerial, Hosts("alias.hosts.test"))},
        {"ghostns.test", ZoneText("ghostns.test", kSerial,
                                  {"ns1.hosts.test", "ns2.hosts.test", "ghost.hosts.test"})},
        {"missing.test", ZoneText("missing.test", kSerial, {"ns1.hosts.test"})},
        {"outside.test",
         ZoneText("outside.test", kSerial, Hosts("ns1.hosts.test", "nothere.hosts.test"))},
        {"mname.test",
         ZoneText("mname.test", kSerial, Hosts("ns1.hosts.test"), {}, "hidden.hosts.test")},
        {"lame.test", ZoneText("lame.test", kSerial, Hosts("ns1.hosts.test", "lame.hosts.test"))},
        {"twice.test", ZoneText("twice.test", kSerial, {"ns1.hosts.test"})},
    };
    std::vector<TestZone> first = both, second = both;
    first.push_back({"serial.test", ZoneText("serial.test", 2, Hosts("ns1.hosts.test"))});
    second.push_back({"serial.test", ZoneText("serial.test", 1, Hosts("ns1.hosts.test"))});
    for (const char* domain : {"tc", "noedns", "formerr", "qr0", "recursor", "many"})
        second.push_back(
            {QString(domain) + ".test",
             ZoneText(QString(domain) + ".test", kSerial, Hosts(QString(domain) + ".hosts.test"))});
    daemons_.push_back(std::make_unique<TestNsd>("127.0.24.1", port_, first));
    daemons_.push_back(std::make_unique<TestNsd>("127.0.40.1", port_, second));
    // A server that serves another domain only: lame, and the primary that never answers.
    daemons_.push_back(std::make_unique<TestNsd>(
        "127.0.31.1", port_,
        std::vector<TestZone>{{"other.test", ZoneText("other.test", 1, {"lame.hosts.test"})}}));
    // An open recursor that also serves recursor.test. (BIND listens only on the addresses of the
    // machine's interfaces: 127.0.0.1 of all loopback addresses.)
    daemons_.push_back(std::make_unique<TestNamed>(
        "127.0.0.1", port_, "127.0.9.1",
        std::vector<TestZone>{
            {"recursor.test", ZoneText("recursor.test", kSerial, Hosts("recursor.hosts.test"))}}));

    for (const auto& q : quirky_)
        if (!q->Started()) problem_ = "a Python server did not start on port " + p;
    for (const auto& d : daemons_)
        if (!d->Started()) problem_ = d->Problem();
    // Every daemon serves TCP as well before a test asks (BIND's recursor shares 127.0.0.1 with
    // every other program's connections: the port may be taken there).
    if (problem_.isEmpty())
        for (const char* address : {"127.0.9.1", "127.0.21.1", "127.0.22.1", "127.0.23.1",
                                    "127.0.24.1", "127.0.40.1", "127.0.31.1", "127.0.0.1"})
            if (!TestDaemon::TakesTcp(address, port_))
                problem_ = QString("nothing takes TCP on %1 port %2").arg(address, p);
    return problem_.isEmpty();
}

QString NameServerLab::Resolver() const {
    return "127.0.9.1:" + QString::number(port_);
}

QString NameServerLab::HintsFile() const {
    const QString path = dir_.filePath("root.hints");
    WriteAll(path, ". 3600000 NS a.root.test.\na.root.test. 3600000 A 127.0.9.1\n");
    return path;
}

NameServerLab* LabForProgramsTest::lab_ = nullptr;

void LabForProgramsTest::SetUpTestSuite() {
    if (!MayBindPort53()) return;
    lab_ = new NameServerLab(53);
    qputenv("REGISCRIBE_RESOLVER", lab_->Resolver().toLatin1());
    qputenv("REGISCRIBE_LAB_NETWORKS", "127.0.0.0/8");
}

void LabForProgramsTest::TearDownTestSuite() {
    delete lab_;
    lab_ = nullptr;
    qunsetenv("REGISCRIBE_RESOLVER");
    qunsetenv("REGISCRIBE_LAB_NETWORKS");
}

void LabForProgramsTest::SetUp() {
    if (!lab_) GTEST_SKIP() << "port 53 needs root";
    ASSERT_TRUE(lab_->Problem().isEmpty()) << lab_->Problem().toStdString();
}
