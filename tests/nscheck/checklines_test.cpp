// The rules of the check's lines that need no server: host names, the address blocks that the
// Internet cannot reach, the lab networks, the networks rule and the summary's counts.
#include "nscheck/checklines.h"
#include "nscheck/reservedaddress.h"

#include <gtest/gtest.h>

namespace {
AddressProbe At(const QString& host, const QString& address) {
    AddressProbe p;
    p.host = host;
    p.address = *ParseIpAddress(address);
    return p;
}
} // namespace

TEST(CheckLines, HostNamesGoAsLowerCaseALabelsAndBadOnesAreTold) {
    EXPECT_EQ(HostForWire(" NS1.Example.NET. ").Value(), "ns1.example.net");
    EXPECT_EQ(HostForWire("ns1.b\u00fccher.example").Value(), "ns1.xn--bcher-kva.example");
    for (const char* bad : {"ns1..example.net", "-ns1.example.net", "ns1_example.net", "localhost",
                            "ns1.exa mple.net"})
        EXPECT_FALSE(HostForWire(bad)) << bad;
    EXPECT_TRUE(InsideDomain("ns1.newshop.test", "newshop.test"));
    EXPECT_TRUE(InsideDomain("newshop.test", "newshop.test"));
    EXPECT_FALSE(InsideDomain("ns1.mynewshop.test", "newshop.test"));
}

TEST(CheckLines, AddressesOutsideTheInternetAreNamedByTheirBlock) {
    const std::pair<const char*, const char*> special[] = {
        {"0.0.0.0", "\"this network\" 0.0.0.0/8"},
        {"10.255.255.53", "private network 10.0.0.0/8"},
        {"100.127.0.1", "shared address space 100.64.0.0/10"},
        {"127.0.0.1", "loopback 127.0.0.0/8"},
        {"169.254.1.1", "link-local 169.254.0.0/16"},
        {"172.31.255.255", "private network 172.16.0.0/12"},
        {"192.168.1.1", "private network 192.168.0.0/16"},
        {"192.0.2.1", "documentation 192.0.2.0/24"},
        {"198.51.100.7", "documentation 198.51.100.0/24"},
        {"203.0.113.255", "documentation 203.0.113.0/24"},
        {"198.19.0.1", "benchmarking 198.18.0.0/15"},
        {"224.0.0.251", "multicast 224.0.0.0/4"},
        {"255.255.255.255", "reserved 240.0.0.0/4"},
        {"::1", "loopback ::1/128"},
        {"::ffff:192.0.2.1", "IPv4-mapped ::ffff:0:0/96"},
        {"2001:db8::53", "documentation 2001:db8::/32"},
        {"fd00::2", "unique local fc00::/7"},
        {"fe80::1", "link-local fe80::/10"},
        {"ff02::1", "multicast ff00::/8"},
    };
    for (const auto& [address, block] : special)
        EXPECT_EQ(SpecialPurposeBlock(*ParseIpAddress(address)).value_or("reachable"), block)
            << address;
    // Next to the blocks, and the globally reachable ones inside the special registry.
    for (const char* reachable : {"1.1.1.1", "172.32.0.1", "100.128.0.1", "192.0.3.1",
                                  "192.31.196.1", "2001:500:2::c", "2a00:1::53", "fbff::1"})
        EXPECT_FALSE(SpecialPurposeBlock(*ParseIpAddress(reachable))) << reachable;
}

TEST(CheckLines, LabNetworksAreReadOrTheBadEntryNamed) {
    const Result<std::vector<IpNetwork>> lab = ParseLabNetworks("127.0.0.0/8, fd00::/8,192.0.2.7");
    ASSERT_TRUE(lab) << lab.Error().toStdString();
    EXPECT_TRUE(InAnyNetwork(*ParseIpAddress("127.9.9.9"), lab.Value()));
    EXPECT_TRUE(InAnyNetwork(*ParseIpAddress("fd00::2"), lab.Value()));
    EXPECT_TRUE(InAnyNetwork(*ParseIpAddress("192.0.2.7"), lab.Value()));
    EXPECT_FALSE(InAnyNetwork(*ParseIpAddress("192.0.2.8"), lab.Value()));
    EXPECT_FALSE(InAnyNetwork(*ParseIpAddress("10.0.0.1"), lab.Value()));
    EXPECT_EQ(ParseLabNetworks("127.0.0.0/8,127.0.0.0/33").Error(),
              "\"127.0.0.0/33\" is not a network");
    EXPECT_TRUE(ParseLabNetworks("").Value().empty());
}

TEST(CheckLines, ServersInOneNetworkAreAWarningAndTheSummaryCountsEachLevel) {
    CheckFacts facts;
    facts.domain = "example.com";
    facts.listedHosts = {"ns1.example.net", "ns2.example.net"};
    facts.serversWithIpv4 = 2;
    facts.probes = {At("ns1.example.net", "192.0.2.1"), At("ns2.example.net", "192.0.2.200")};
    std::vector<CheckLine> lines = AcrossLines(facts);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Rendered(), "warning all servers share one network (192.0.2.0/24)");

    facts.serversWithIpv4 = 1;
    facts.probes = {At("ns1.example.net", "2001:db8:1::1"),
                    At("ns2.example.net", "2001:db8:1:ffff::1"),
                    At("ns1.example.net", "192.0.2.1")};
    lines = AcrossLines(facts);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Rendered(),
              "error   only 1 name server has an IPv4 address: a domain needs at least two");
    EXPECT_EQ(lines[1].Rendered(), "warning all servers share one network (2001:db8:1::/48)");

    EXPECT_EQ(SummaryLine(lines), "Name servers: 0 ok, 0 notices, 1 warning, 1 error");
    lines.push_back({Verdict::Ok, "x"});
    lines.push_back({Verdict::Notice, "n"});
    lines.push_back({Verdict::Notice, "n"});
    lines.push_back({Verdict::Error, "y"});
    lines.push_back({Verdict::Warning, "z"});
    EXPECT_EQ(SummaryLine(lines), "Name servers: 1 ok, 2 notices, 2 warnings, 2 errors");
    EXPECT_EQ(SummaryLine({}), "Name servers: 0 ok, 0 notices, 0 warnings, 0 errors");
    EXPECT_EQ(CheckLine({Verdict::Notice, "n"}).Rendered(), "notice  n");
}
