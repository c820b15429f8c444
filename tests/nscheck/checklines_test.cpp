// The rules of the check's lines, on answers made up by the test: names, the networks rule and
// the summary.
#include "nscheck/checklines.h"

#include <gtest/gtest.h>

namespace {
AddressProbe Answering(const QString& host, const QString& address) {
    AddressProbe p;
    p.host = host;
    p.address = *ParseIpAddress(address);
    return p;
}
} // namespace

TEST(CheckLines, HostNamesGoAsLowerCaseALabelsAndBadOnesAreTold) {
    QString problem;
    EXPECT_EQ(HostForWire(" NS1.Example.NET. ", &problem), "ns1.example.net");
    EXPECT_EQ(HostForWire("ns1.b\u00fccher.example", &problem), "ns1.xn--bcher-kva.example");
    for (const char* bad : {"ns1..example.net", "-ns1.example.net", "ns1_example.net", "localhost",
                            "ns1.exa mple.net"}) {
        problem.clear();
        EXPECT_TRUE(HostForWire(bad, &problem).isEmpty()) << bad;
        EXPECT_FALSE(problem.isEmpty()) << bad;
    }
}

TEST(CheckLines, ServersInOneNetworkAreAWarningAndTheSummaryCountsEachVerdict) {
    std::vector<AddressProbe> probes{Answering("ns1.example.net", "192.0.2.1"),
                                     Answering("ns2.example.net", "192.0.2.200")};
    std::vector<CheckLine> lines = AcrossLines("example.com", 2, probes);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Rendered(), "warning all servers share one network (192.0.2.0/24)");
    probes.push_back(Answering("ns3.example.org", "198.51.100.1"));
    probes.push_back(Answering("ns4.example.org", "2001:db8:1::1"));
    probes.push_back(Answering("ns5.example.org", "2001:db8:1:ffff::1"));
    lines = AcrossLines("example.com", 5, probes);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Rendered(), "warning all servers share one network (2001:db8:1::/48)");
    lines.push_back({Verdict::Ok, "x"});
    lines.push_back({Verdict::Error, "y"});
    EXPECT_EQ(SummaryLine(lines), "Name servers: 1 ok, 1 warnings, 1 errors");
}
