// The referral line of a WHOIS answer: its label forms, a port, and values that name no server.
#include "lookup/whoisreferral.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace {
QString Found(const QStringList& lines, const QString& asked = QString()) {
    const WhoisReferral referral = FindReferral(lines, asked);
    if (!referral.unsupported.isEmpty()) return "unsupported " + referral.unsupported;
    return referral.server ? referral.server->Key() : QString("(none)");
}

// A sample answer kept as a real server sent it, as lines without their line ends.
QStringList Sample(const QString& name) {
    QFile file(QString(TESTS_SOURCE_DIR) + "/samples/whois/" + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (QString& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    return lines;
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

TEST(WhoisReferral, InAThickAnswerOnlyTheRecordOfTheNameAskedCounts) {
    const QStringList thick = Sample("verisign_old_google.com.txt");
    ASSERT_GT(thick.size(), 100);
    EXPECT_EQ(Found(thick, "google.com"), "whois.markmonitor.com");
    EXPECT_EQ(Found(thick, "GOOGLE.COM"), "whois.markmonitor.com");
    // A name with no record of its own: none of the other records' servers.
    EXPECT_EQ(Found(thick, "example.com"), "(none)");
    // The lines before the first record count (the IANA form).
    EXPECT_EQ(Found({"% IANA WHOIS server", "refer:        whois.verisign-grs.com", "",
                     "domain:       COM"},
                    "example.com"),
              "whois.verisign-grs.com");
    EXPECT_EQ(AskedName("=GOOGLE.COM."), "GOOGLE.COM");
    EXPECT_EQ(AskedName("domain example.com"), "example.com");
}

TEST(WhoisReferral, TrailingLineEndsNameNoServerAndRWhoisIsToldNotFollowed) {
    EXPECT_EQ(Found({"Registrar WHOIS Server: \r\r", "Whois Server: whois.example.net\r"}),
              "whois.example.net");
    EXPECT_EQ(Found({"Whois Server:\r"}), "(none)");
    EXPECT_EQ(Found(Sample("arin_162.144.47.96.txt")),
              "unsupported rwhois://rwhois.unifiedlayer.com:4321");
    EXPECT_EQ((WhoisServer{"whois.example.net", 4343}.Shown()), "whois.example.net:4343");
    EXPECT_EQ((WhoisServer{"whois.example.net", 43}.Shown()), "whois.example.net");
}
