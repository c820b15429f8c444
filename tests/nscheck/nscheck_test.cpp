// The name-server check against real name servers on loopback (NameServerLab: NSD, BIND and the
// Python servers for the faults neither shows), each case on port 53 (as root, as CI runs; the
// suite named Port53) and on a free high port through the check's port parameter.
#include "nscheck/nscheck.h"
#include "support/process.h"
#include "support/tempdir.h"
#include "support/testnsd.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {
const QString kLab = "127.0.0.0/8";
const QString kSummaryEnd = " (lab networks: 127.0.0.0/8)";

struct Checked {
    QStringList lines;
    QString summary;
    int errors = 0;
    bool Has(const QString& line) const { return lines.contains(line); }
    int Count(Verdict verdict) const {
        const QString word = verdict == Verdict::Ok        ? "ok "
                             : verdict == Verdict::Notice  ? "notice "
                             : verdict == Verdict::Warning ? "warning "
                                                           : "error ";
        int n = 0;
        for (const QString& line : lines)
            n += line.startsWith(word);
        return n;
    }
    std::string Dump() const { return (lines.join('\n') + '\n' + summary).toStdString(); }
};

// "HOST=ADDRESS" or "HOST", as the command line takes them.
std::vector<ListedServer> Servers(const QStringList& words) {
    std::vector<ListedServer> servers;
    for (const QString& word : words) {
        const qsizetype eq = word.indexOf('=');
        servers.push_back({eq < 0 ? word : word.left(eq), eq < 0 ? QString() : word.mid(eq + 1)});
    }
    return servers;
}

class NameServerCheck : public ::testing::TestWithParam<bool> {
protected:
    static NameServerLab& Lab(bool port53) {
        static std::map<bool, std::unique_ptr<NameServerLab>> labs;
        auto& lab = labs[port53];
        if (!lab) lab = std::make_unique<NameServerLab>(port53 ? 53 : 0);
        return *lab;
    }
    void SetUp() override {
        if (GetParam() && !MayBindPort53()) GTEST_SKIP() << "port 53 needs root";
        ASSERT_TRUE(Lab(GetParam()).Problem().isEmpty()) << Lab(GetParam()).Problem().toStdString();
    }
    CheckRequest Request(const QString& domain, const QStringList& servers) {
        CheckRequest request;
        request.domain = domain;
        request.servers = Servers(servers);
        request.port = Lab(GetParam()).Port();
        request.resolver = Lab(GetParam()).Resolver();
        request.labNetworks = kLab;
        return request;
    }
    static Checked Run(const CheckRequest& request) {
        TNameServerCheck check;
        check.RunToEnd(request);
        Checked result;
        for (const CheckLine& line : check.Lines())
            result.lines << line.Rendered();
        result.summary = check.Summary();
        result.errors = check.Errors();
        return result;
    }
    Checked Check(const QString& domain, const QStringList& servers) {
        return Run(Request(domain, servers));
    }
};

QStringList Sorted(QStringList lines) {
    lines.sort();
    return lines;
}
} // namespace

TEST_P(NameServerCheck, ServersInsideTheDomainAreCheckedByTheirGlueWithoutAResolver) {
    CheckRequest request =
        Request("newshop.test", {"ns1.newshop.test=127.0.21.1", "NS2.Newshop.Test.=127.0.22.1"});
    // A resolver that never answers: nothing inside the domain may be looked up through it.
    request.resolver = "127.0.8.1:" + QString::number(request.port);
    Checked r = Run(request);
    EXPECT_EQ(
        Sorted(r.lines),
        Sorted({"ok      ns1.newshop.test: glue 127.0.21.1 matches the zone's address records",
                "ok      ns2.newshop.test: glue 127.0.22.1 matches the zone's address records",
                "ok      ns1.newshop.test (127.0.21.1): authoritative for newshop.test, "
                "serial 2026120801",
                "ok      ns2.newshop.test (127.0.22.1): authoritative for newshop.test, "
                "serial 2026120801",
                "ok      every server has serial 2026120801",
                "ok      the zone's NS set for newshop.test names every server listed"}))
        << r.Dump();
    EXPECT_EQ(r.summary, "Name servers: 6 ok, 0 notices, 0 warnings, 0 errors" + kSummaryEnd);

    // Glue that is not the zone's own address record; a name inside without glue; an address
    // typed as the host.
    r = Check("newshop.test", {"ns1.newshop.test=127.0.21.1", "ns2.newshop.test=127.0.23.1",
                               "ns3.newshop.test", "127.0.22.1"});
    EXPECT_TRUE(r.Has("error   ns2.newshop.test: glue 127.0.23.1 differs from the zone's address "
                      "records (127.0.22.1)"))
        << r.Dump();
    EXPECT_TRUE(r.Has("error   ns3.newshop.test: inside newshop.test, so it needs a typed address "
                      "(glue)"))
        << r.Dump();
    EXPECT_TRUE(r.Has("error   127.0.22.1: an IP address is not a host name")) << r.Dump();
    // (ns3 is listed, and the zone's NS set does not name it.)
    EXPECT_TRUE(r.Has("error   the zone's NS set for newshop.test lacks ns3.newshop.test"))
        << r.Dump();
    EXPECT_EQ(r.summary, "Name servers: 4 ok, 0 notices, 0 warnings, 4 errors" + kSummaryEnd)
        << r.Dump();
}

TEST_P(NameServerCheck, AddressesTheInternetCannotReachAreErrorsAndNeverAsked) {
    CheckRequest request =
        Request("newshop.test", {"ns1.newshop.test=0.0.0.0", "ns2.newshop.test=10.1.2.3",
                                 "ns3.newshop.test=192.0.2.53", "ns4.newshop.test=fd00::53",
                                 "ns5.newshop.test=127.0.21.1"});
    request.labNetworks = "nonsense";
    const Checked r = Run(request);
    EXPECT_EQ(Sorted(r.lines),
              Sorted({"error   REGISCRIBE_LAB_NETWORKS: \"nonsense\" is not a network",
                      "error   ns1.newshop.test (0.0.0.0): not reachable from the Internet "
                      "(\"this network\" 0.0.0.0/8)",
                      "error   ns2.newshop.test (10.1.2.3): not reachable from the Internet "
                      "(private network 10.0.0.0/8)",
                      "error   ns3.newshop.test (192.0.2.53): not reachable from the Internet "
                      "(documentation 192.0.2.0/24)",
                      "error   ns4.newshop.test (fd00::53): not reachable from the Internet "
                      "(unique local fc00::/7)",
                      "error   ns5.newshop.test (127.0.21.1): not reachable from the Internet "
                      "(loopback 127.0.0.0/8)",
                      // The delegation's own rule holds whether or not the address is reachable.
                      "error   only 1 name server has an IPv6 address: a domain needs none or at "
                      "least two"}))
        << r.Dump();
    EXPECT_EQ(r.summary, "Name servers: 0 ok, 0 notices, 0 warnings, 7 errors");
}

TEST_P(NameServerCheck, OneServerTypedTwiceIsOneServer) {
    const Checked r =
        Check("twice.test", {"ns1.hosts.test=127.0.24.1", "NS1.HOSTS.TEST.=127.0.24.1"});
    EXPECT_TRUE(r.Has("notice  ns1.hosts.test is listed twice")) << r.Dump();
    EXPECT_TRUE(r.Has("error   only 1 name server listed: a domain needs at least two"))
        << r.Dump();
    EXPECT_TRUE(
        r.Has("error   the zone's NS set for twice.test names only ns1.hosts.test: a domain "
              "needs at least two"))
        << r.Dump();
    EXPECT_EQ(r.errors, 2) << r.Dump();
}

TEST_P(NameServerCheck, TransportFaultsAreToldByTheirNature) {
    // Truncating every UDP answer: TCP decides, a notice only.
    Checked r = Check("tc.test", {"tc.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("notice  tc.hosts.test (127.0.25.1): truncates its answers over UDP; the "
                      "answer over TCP is used"))
        << r.Dump();
    EXPECT_TRUE(r.Has("ok      tc.hosts.test (127.0.25.1): authoritative for tc.test, serial "
                      "2026120801"))
        << r.Dump();
    EXPECT_EQ(r.errors, 0) << r.Dump();

    // Dropping EDNS queries: dead for every resolver, though it answers plain ones.
    r = Check("noedns.test", {"noedns.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("error   noedns.hosts.test (127.0.27.1): gives no answer to EDNS queries, "
                      "only to queries without EDNS"))
        << r.Dump();
    EXPECT_EQ(r.errors, 1) << r.Dump();

    // FORMERR to EDNS: old, but it works.
    r = Check("formerr.test", {"formerr.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("warning formerr.hosts.test (127.0.28.1): does not support EDNS (FORMERR to "
                      "an EDNS query)"))
        << r.Dump();
    EXPECT_EQ(r.errors, 0) << r.Dump();
    EXPECT_EQ(r.Count(Verdict::Warning), 1) << r.Dump();

    // Messages with QR clear are no answers.
    r = Check("qr0.test", {"qr0.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("error   qr0.hosts.test (127.0.29.1): no answer over UDP (2 replies dropped: "
                      "a message with QR clear)"))
        << r.Dump();
    EXPECT_TRUE(r.Has("error   qr0.hosts.test (127.0.29.1): no answer over TCP (1 reply dropped: a "
                      "message with QR clear)"))
        << r.Dump();
    EXPECT_EQ(r.errors, 2) << r.Dump();
}

TEST_P(NameServerCheck, AnOpenRecursorAndAnAliasAsServerAreErrors) {
    Checked r = Check("recursor.test", {"recursor.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("error   recursor.hosts.test (127.0.0.1): is a recursor: it answers "
                      "recursive questions for names it does not serve"))
        << r.Dump();
    EXPECT_EQ(r.errors, 1) << r.Dump();

    r = Check("cname.test", {"alias.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("error   alias.hosts.test: is an alias (CNAME for ns1.hosts.test): a name "
                      "server's name needs address records of its own"))
        << r.Dump();
    EXPECT_EQ(r.errors, 1) << r.Dump();
}

TEST_P(NameServerCheck, TheZonesNsSetAndPrimaryServer) {
    Checked r = Check("ghostns.test", {"ns1.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("notice  the zone's NS set for ghostns.test also names ghost.hosts.test, not "
                      "listed here"))
        << r.Dump();
    EXPECT_TRUE(r.Has("error   the zone's NS set names ghost.hosts.test, which does not resolve "
                      "(NXDOMAIN)"))
        << r.Dump();
    EXPECT_EQ(r.errors, 1) << r.Dump();

    r = Check("missing.test", {"ns1.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("error   the zone's NS set for missing.test lacks ns2.hosts.test"))
        << r.Dump();
    EXPECT_EQ(r.errors, 2) << r.Dump();

    r = Check("mname.test", {"ns1.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("warning the SOA's primary server hidden.hosts.test does not answer with "
                      "authority for mname.test (REFUSED)"))
        << r.Dump();
    EXPECT_EQ(r.errors, 0) << r.Dump();

    r = Check("serial.test", {"ns1.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("warning the SOA serials differ: ns2.hosts.test (127.0.40.1) 1; "
                      "ns1.hosts.test (127.0.24.1) 2"))
        << r.Dump();
    EXPECT_EQ(r.summary, "Name servers: 5 ok, 0 notices, 1 warning, 0 errors" + kSummaryEnd)
        << r.Dump();
}

TEST_P(NameServerCheck, NamesOutsideTheDomainMustResolveAndLameServersAreErrors) {
    Checked r = Check("outside.test", {"ns1.hosts.test", "nothere.hosts.test=127.0.40.1"});
    EXPECT_TRUE(r.Has("error   nothere.hosts.test: does not resolve (NXDOMAIN), and no glue is "
                      "published for a name outside outside.test"))
        << r.Dump();
    EXPECT_EQ(r.errors, 1) << r.Dump();

    r = Check("lame.test", {"ns1.hosts.test", "lame.hosts.test"});
    EXPECT_TRUE(r.Has("error   lame.hosts.test (127.0.31.1): lame for lame.test: REFUSED"))
        << r.Dump();
    EXPECT_TRUE(r.Has("ok      lame.hosts.test: resolves to 127.0.31.1")) << r.Dump();
    EXPECT_EQ(r.errors, 1) << r.Dump();
}

TEST_P(NameServerCheck, OnlyTheFirstFourAddressesOfANameAreAsked) {
    const Checked r = Check("many.test", {"many.hosts.test", "ns2.hosts.test"});
    EXPECT_TRUE(r.Has("notice  many.hosts.test: 30 IPv4 addresses; the first 4 are asked"))
        << r.Dump();
    QStringList asked;
    for (const QString& line : r.lines)
        if (line.contains("many.hosts.test (127.0.50."))
            asked << line.section('(', 1, 1).section(')', 0, 0);
    asked.removeDuplicates();
    EXPECT_EQ(asked.size(), 4) << r.Dump();
}

TEST_P(NameServerCheck, SilentServersAndASlowResolverEndWithinEightSeconds) {
    const quint16 port = Lab(GetParam()).Port();
    std::vector<std::unique_ptr<QuirkyDns>> quiet;
    QStringList mapping, names;
    for (int n = 1; n <= 4; ++n) {
        const QString address = QString("127.0.1%1.1").arg(n);
        quiet.push_back(std::make_unique<QuirkyDns>(address, port, "silent"));
        ASSERT_TRUE(quiet.back()->Started());
        mapping << "--a" << QString("quiet%1.hosts.test=%2").arg(n).arg(address);
        names << QString("quiet%1.hosts.test").arg(n);
    }
    QuirkyDns resolver("127.0.19.1", port, "slow", mapping + QStringList{"--delay", "4"});
    ASSERT_TRUE(resolver.Started());
    CheckRequest request = Request("example.test", names);
    request.resolver = "127.0.19.1:" + QString::number(port);
    QElapsedTimer clock;
    clock.start();
    const Checked r = Run(request);
    EXPECT_LT(clock.elapsed(), 8000) << r.Dump();
    EXPECT_GT(clock.elapsed(), 4000) << r.Dump();
    for (int n = 1; n <= 4; ++n) {
        const QString who = QString("quiet%1.hosts.test (127.0.1%1.1)").arg(n);
        EXPECT_TRUE(r.Has("ok      quiet" + QString::number(n) +
                          ".hosts.test: resolves to 127.0.1" + QString::number(n) + ".1"))
            << r.Dump();
        EXPECT_TRUE(r.Has("error   " + who + ": no answer over UDP")) << r.Dump();
        EXPECT_TRUE(r.Has("error   " + who + ": no answer over TCP")) << r.Dump();
    }

    // Four answering servers: at once.
    clock.restart();
    const Checked fast = Check("example.test", {"ns1.hosts.test=127.0.24.1", "ns2.hosts.test",
                                                "ns1.newshop.test=127.0.21.1"});
    EXPECT_LT(clock.elapsed(), 200) << fast.Dump();
}

INSTANTIATE_TEST_SUITE_P(Port53, NameServerCheck, ::testing::Values(true));
INSTANTIATE_TEST_SUITE_P(HighPort, NameServerCheck, ::testing::Values(false));

namespace {
// regiscribe-cli check-ns against the lab on port 53, the port the program asks.
class CheckNsCommand : public LabForProgramsTest {
protected:
    static QStringList Lines(const ProcessResult& r) {
        return QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    }
};
} // namespace

TEST_F(CheckNsCommand, ExitsByErrorsAloneAndChecksARecordsServers) {
    ProcessResult r = RunCli({"check-ns", "example.test", "ns1.hosts.test", "ns2.hosts.test"});
    EXPECT_EQ(r.exitCode, 0) << r.out.constData();
    EXPECT_EQ(Lines(r).value(Lines(r).size() - 1),
              "Name servers: 6 ok, 0 notices, 0 warnings, 0 errors (lab networks: 127.0.0.0/8)");
    // Warnings alone: 0.
    r = RunCli({"check-ns", "serial.test", "ns1.hosts.test", "ns2.hosts.test"});
    EXPECT_EQ(r.exitCode, 0) << r.out.constData();
    r = RunCli({"check-ns", "lame.test", "ns1.hosts.test", "lame.hosts.test"});
    EXPECT_EQ(r.exitCode, 1) << r.out.constData();

    ScopedWorkDir dir;
    const ProcessResult w =
        RunCli({"write", "domain", "newshop.test", "--set", "PriNSEdit=ns1.newshop.test", "--set",
                "PriNSIPEdit=127.0.21.1", "--set", "SecNSEdit=ns2.newshop.test", "--set",
                "SecNSIPEdit=127.0.22.1"},
               dir.path());
    ASSERT_EQ(w.exitCode, 0) << w.err.constData();
    r = RunCli({"check-ns", "--record", "newshop.test"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.out.constData();
    EXPECT_TRUE(Lines(r).contains(
        "ok      ns2.newshop.test: glue 127.0.22.1 matches the zone's address records"))
        << r.out.constData();
    EXPECT_EQ(RunCli({"check-ns", "--record", "nothing.test"}, dir.path()).exitCode, 1);
    EXPECT_EQ(RunCli({"check-ns", "example.test"}).exitCode, 2);
    EXPECT_EQ(RunCli({"check-ns", "--record", "newshop.test", "ns1.hosts.test"}).exitCode, 2);
}

TEST_F(CheckNsCommand, AnIpv6AddressWithNoRouteIsANoticeAndNoIpv6LeavesItOut) {
    // A network namespace of its own with no route anywhere (and no address to send IPv6 from):
    // nothing can leave the machine.
    const QStringList check{"--net",
                            REGISCRIBE_CLI,
                            "check-ns",
                            "example.test",
                            "ns1.hosts.test=2a00:1::53",
                            "ns2.hosts.test=2a00:2::53"};
    ProcessResult r = RunProgram("unshare", check);
    QStringList lines = Lines(r);
    EXPECT_TRUE(lines.contains("notice  ns1.hosts.test (2a00:1::53): IPv6 cannot be tested from "
                               "here (Cannot assign requested address)"))
        << r.out.constData() << r.err.constData();
    EXPECT_TRUE(lines.contains("notice  ns2.hosts.test (2a00:2::53): IPv6 cannot be tested from "
                               "here (Cannot assign requested address)"))
        << r.out.constData();

    QStringList noIpv6 = check;
    noIpv6.insert(3, "--no-ipv6");
    r = RunProgram("unshare", noIpv6);
    lines = Lines(r);
    EXPECT_TRUE(lines.contains("notice  IPv6 addresses are left out, as asked"))
        << r.out.constData();
    EXPECT_FALSE(r.out.contains("(2a00:")) << r.out.constData();
}

TEST_F(CheckNsCommand, AMissingDnsModuleIsOneLine) {
    // The program alone in a folder, its modules looked for in an empty one.
    ScopedWorkDir dir;
    QDir().mkdir("modules-none");
    ASSERT_TRUE(QFile::copy(REGISCRIBE_CLI, dir.file("regiscribe-cli")));
    const QByteArray kept = qgetenv("REGISCRIBE_MODULE_DIR");
    qputenv("REGISCRIBE_MODULE_DIR", dir.file("modules-none").toLocal8Bit());
    const ProcessResult r =
        RunProgram(dir.file("regiscribe-cli"),
                   {"check-ns", "example.test", "ns1.hosts.test", "ns2.hosts.test"});
    qputenv("REGISCRIBE_MODULE_DIR", kept);
    const QStringList lines = Lines(r);
    ASSERT_EQ(lines.size(), 2) << r.out.constData() << r.err.constData();
    EXPECT_TRUE(lines[0].startsWith("error   DNS is not available: ")) << r.out.constData();
    EXPECT_EQ(lines[1], "Name servers: 0 ok, 0 notices, 0 warnings, 1 error");
    EXPECT_EQ(r.exitCode, 1);
}
