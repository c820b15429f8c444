// The name-server check against real name servers: NSD instances on loopback addresses, port 53,
// with zones the test writes, one of them answering the servers' host names through
// REGISCRIBE_RESOLVER; a server that swallows every question; and an address where nothing
// listens.
#include "nscheck/nscheck.h"
#include "support/process.h"
#include "support/tempdir.h"
#include "support/testnsd.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {
class NameServerCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() { world = new TestNameServerWorld; }
    static void TearDownTestSuite() {
        delete world;
        world = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(world->Problem().isEmpty()) << world->Problem().toStdString();
    }

    struct Result {
        int exitCode = -1;
        QStringList lines;
        QString summary;
        bool Has(const QString& line) const { return lines.contains(line); }
    };
    static Result Check(const QStringList& args, const QString& workDir = QString()) {
        const ProcessResult r = RunCli(QStringList{"check-ns"} + args, workDir);
        Result result;
        result.exitCode = r.exitCode;
        result.lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
        if (!result.lines.isEmpty()) result.summary = result.lines.takeLast();
        return result;
    }
    static QString Dump(const Result& r) { return r.lines.join('\n') + '\n' + r.summary; }

    static TestNameServerWorld* world;
};
TestNameServerWorld* NameServerCheck::world = nullptr;
} // namespace

TEST_F(NameServerCheck, AGoodDelegationHasNoWarningsOrErrors) {
    for (const QStringList& args :
         {QStringList{"example.com", "ns1.example.net=127.0.1.1", "ns2.example.net=127.0.2.1"},
          // Host names alone are resolved.
          QStringList{"example.com", "NS1.example.net.", "ns2.example.net"}}) {
        const Result r = Check(args);
        EXPECT_EQ(r.exitCode, 0) << Dump(r).toStdString();
        EXPECT_TRUE(r.summary.endsWith(" ok, 0 warnings, 0 errors")) << Dump(r).toStdString();
        EXPECT_TRUE(r.Has("ok      ns1.example.net (127.0.1.1): authoritative for example.com, "
                          "serial 2026120801"))
            << Dump(r).toStdString();
        EXPECT_TRUE(r.Has("ok      ns2.example.net: resolves to 127.0.2.1"))
            << Dump(r).toStdString();
        EXPECT_TRUE(r.Has("ok      every server has serial 2026120801"));
        EXPECT_TRUE(r.Has("ok      ns1.example.net (127.0.1.1): its NS set names every server "
                          "listed, and also ns3.example.net, ns4.example.net"));
    }
}

TEST_F(NameServerCheck, ATypedAddressThatIsNotTheHostsIsAWarningOnly) {
    const Result r = Check({"example.com", "ns1.example.net=127.0.3.1", "ns2.example.net"});
    EXPECT_EQ(r.exitCode, 0) << Dump(r).toStdString();
    EXPECT_TRUE(r.Has("warning ns1.example.net: the typed address 127.0.3.1 is not one of its "
                      "addresses (127.0.1.1)"))
        << Dump(r).toStdString();
}

TEST_F(NameServerCheck, LameServersAreErrors) {
    const Result r =
        Check({"example.com", "ns1.example.net", "lame.example.net", "sub.example.net"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Has("error   lame.example.net (127.0.5.1): lame for example.com: REFUSED"))
        << Dump(r).toStdString();
    EXPECT_TRUE(r.Has("error   sub.example.net (127.0.10.1): lame: not authoritative for "
                      "example.com"))
        << Dump(r).toStdString();
    EXPECT_TRUE(r.summary.endsWith(", 2 errors")) << Dump(r).toStdString();
}

TEST_F(NameServerCheck, DifferingSerialsAndNsSetsAreWarningsNamingEachServer) {
    Result r = Check({"example.com", "ns1.example.net", "old.example.net"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.Has("warning the SOA serials differ: old.example.net (127.0.6.1) 2026120701; "
                      "ns1.example.net (127.0.1.1) 2026120801"))
        << Dump(r).toStdString();

    r = Check({"example.com", "ns1.example.net", "odd.example.net"});
    EXPECT_TRUE(r.Has("warning odd.example.net (127.0.7.1): its NS set for example.com lacks "
                      "odd.example.net"))
        << Dump(r).toStdString();
    EXPECT_TRUE(r.Has("warning odd.example.net (127.0.7.1): its NS set also names "
                      "ns9.example.org"))
        << Dump(r).toStdString();
    bool differ = false;
    for (const QString& line : r.lines)
        differ = differ || line.startsWith("warning the NS sets differ: ");
    EXPECT_TRUE(differ) << Dump(r).toStdString();
}

TEST_F(NameServerCheck, TooFewServersOneAddressTwiceAndUnknownHostsAreErrors) {
    Result r = Check({"example.com", "ns1.example.net"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Has("error   only 1 name server listed: a domain needs at least two"));

    r = Check({"example.com", "ns1.example.net=127.0.1.1", "ns2.example.net=127.0.1.1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Has("error   ns1.example.net and ns2.example.net share the address 127.0.1.1"))
        << Dump(r).toStdString();

    r = Check({"example.com", "ns1.example.net", "ghost.example.net"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Has("error   ghost.example.net: does not resolve (NXDOMAIN)"))
        << Dump(r).toStdString();
}

TEST_F(NameServerCheck, AnAddressWhereNothingListensIsRefusedOverUdpAndTcp) {
    const Result r = Check({"example.com", "ns1.example.net", "nobody.example.net"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Has("error   nobody.example.net (127.0.8.1): UDP refused"))
        << Dump(r).toStdString();
    EXPECT_TRUE(r.Has("error   nobody.example.net (127.0.8.1): TCP refused"))
        << Dump(r).toStdString();
}

TEST_F(NameServerCheck, FourSilentServersEndWithinEightSecondsAndFourAnsweringOnesAtOnce) {
    std::vector<std::unique_ptr<SilentDnsServer>> silent;
    for (int n = 11; n <= 14; ++n) {
        silent.push_back(std::make_unique<SilentDnsServer>(QString("127.0.%1.1").arg(n)));
        ASSERT_TRUE(silent.back()->Started()) << "cannot bind port 53 (the tests need root)";
    }
    QElapsedTimer clock;
    clock.start();
    const Result r = Check({"example.com", "quiet1.example.net", "quiet2.example.net",
                            "quiet3.example.net", "quiet4.example.net"});
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_EQ(r.exitCode, 1);
    for (int n = 1; n <= 4; ++n) {
        const QString who = QString("quiet%1.example.net (127.0.1%1.1)").arg(n);
        EXPECT_TRUE(r.Has("error   " + who + ": no answer over UDP")) << Dump(r).toStdString();
        EXPECT_TRUE(r.Has("error   " + who + ": no answer over TCP")) << Dump(r).toStdString();
    }

    TNameServerCheck check;
    std::vector<ListedServer> four;
    for (int n = 1; n <= 4; ++n)
        four.push_back({QString("ns%1.example.net").arg(n), QString("127.0.%1.1").arg(n)});
    clock.restart();
    check.RunToEnd("example.com", four);
    EXPECT_LT(clock.elapsed(), 200);
    EXPECT_EQ(check.Errors(), 0) << check.Summary().toStdString();
}

TEST_F(NameServerCheck, ADomainRecordsServersAreCheckedByItsName) {
    ScopedWorkDir dir;
    const ProcessResult w =
        RunCli({"write", "domain", "example.com", "--set", "PriNSEdit=ns1.example.net", "--set",
                "PriNSIPEdit=127.0.1.1", "--set", "SecNSEdit=ns2.example.net"},
               dir.path());
    ASSERT_EQ(w.exitCode, 0) << w.err.constData();
    const Result r = Check({"--record", "example.com"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << Dump(r).toStdString();
    EXPECT_TRUE(r.summary.endsWith(" ok, 0 warnings, 0 errors")) << Dump(r).toStdString();

    EXPECT_EQ(Check({"--record", "nothing.example"}, dir.path()).exitCode, 1);
    EXPECT_EQ(Check({"example.com"}).exitCode, 2);
    EXPECT_EQ(Check({"--record", "example.com", "ns1.example.net"}).exitCode, 2);
}
