// The referral line of a WHOIS answer: its label forms, a port, and values that name no server.
#include "lookup/whoisreferral.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {
QString Found(const QStringList& lines) {
    const auto server = FindReferral(lines);
    return server ? server->Key() : QString("(none)");
}
} // namespace

TEST(WhoisReferral, EachLabelFormNamesAServerAndItsPort) {
    EXPECT_EQ(Found({"Domain Name: EXAMPLE.COM", "   Registrar WHOIS Server: Whois.Example.NET"}),
              "whois.example.net");
    EXPECT_EQ(Found({"whois server:whois.example.org  "}), "whois.example.org");
    EXPECT_EQ(Found({"ReferralServer: whois://whois.example.net:4321/"}), "whois.example.net:4321");
    EXPECT_EQ(Found({"refer: whois.example.org:43"}), "whois.example.org");
    EXPECT_EQ(Found({"Remarks: nothing here", "Registrar: no server"}), "(none)");
}

TEST(WhoisReferral, AValueThatIsNoHostNameIsPassedOver) {
    // Blanks, control characters (a NUL would cut the name on its way to the resolver), slashes
    // and bad ports name no server; a later line that does is taken.
    const QStringList hostile{
        "refer: two words",
        QString("refer: evil") + QChar(0) + "host.example",
        "refer: tab\there.example",
        QString("refer: bell") + QChar(7) + ".example",
        "ReferralServer: whois://host.example/path/more",
        "refer: host.example:0",
        "refer: host.example:70000",
        "Whois Server: good.example",
    };
    EXPECT_EQ(Found(hostile), "good.example");
    EXPECT_EQ(Found({QString("refer: ") + QChar(0) + QChar(0) + "net:8642/"}), "(none)");
}
