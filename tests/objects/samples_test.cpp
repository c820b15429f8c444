// Every object of the registries' own tests through `regiscribe-cli object check` under its
// registry: an object the registry accepted passes without an error line; one it refused gets an
// error line on the attribute at fault, in words that carry the rule the registry's answer names
// (and as many error lines as the registry counted, where it counted them).
#include "objects/objecttesting.h"
#include "support/gnupghome.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>

namespace {
struct Sample {
    QString file, registry;
    bool valid = false;
};

// index.tsv: file, ruleset, class, expected, error, registry, ...
std::vector<Sample> Samples() {
    std::vector<Sample> samples;
    const QStringList lines = RpslSampleText("index.tsv").split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1)) {
        const QStringList fields = line.split('\t');
        samples.push_back({fields.value(0), fields.value(5), fields.value(3) == "valid"});
    }
    return samples;
}

struct Expected {
    QString attribute;
    QStringList phrases; // each in the same line, none followed by a letter or digit
};
struct Refusal {
    std::vector<Expected> lines;
    int errors = -1; // the registry's count of errors, where its answer gives one
};

// The rule of each refused object, in the registry's words (its answer in index.tsv).
const std::map<QString, Refusal>& Refusals() {
    static const std::map<QString, Refusal> refusals{
        {"ripe-as-set-03-invalid.txt", {{{"as-set", {"Syntax error in AS123:AS123"}}}}},
        {"ripe-as-set-04-invalid.txt",
         {{{"as-set", {"Syntax error in AS7775535:AS-TEST:AS7777777234"}}}}},
        {"ripe-as-set-05-invalid.txt",
         {{{"as-set", {"Syntax error in AS7775535:AS-TEST:AS0777234"}}}}},
        {"ripe-aut-num-04-invalid.txt", {{{"aut-num", {"Syntax error in AS0 - AS1"}}}}},
        {"ripe-aut-num-05-invalid.txt", {{{"aut-num", {"Syntax error in AS2.3"}}}}},
        {"ripe-aut-num-06-invalid.txt", {{{"import", {"Syntax error in to AS1 announce ANY"}}}, 7}},
        {"ripe-domain-10-invalid.txt",
         {{{"nserver",
            {"Prefix length must be /16 for IPv4 or /32 for IPv6 if ns.ripe.net is used as a "
             "nameserver."}}}}},
        {"ripe-domain-11-invalid.txt",
         {{{"domain", {"Syntax error in 2-1.0.0.193.in-addr.arpa"}}}}},
        {"ripe-domain-12-invalid.txt",
         {{{"domain", {"Syntax error in 0-255.0.0.193.in-addr.arpa"}}}}},
        {"ripe-domain-13-invalid.txt", {{{"domain", {"Syntax error in 0.0.193.ip6.arpa"}}}}},
        {"ripe-domain-14-invalid.txt",
         {{{"domain", {"Syntax error in 2.1-3.1.193.in-addr.arpa"}}}}},
        {"ripe-domain-15-invalid.txt",
         {{{"domain", {"Syntax error in 148-149.201.193.in-addr.arpa"}}}}},
        {"ripe-domain-16-invalid.txt", {{{"domain", {"Syntax error in 1-193.in-addr.arpa"}}}}},
        {"ripe-domain-17-invalid.txt",
         {{{"ds-rdata",
            {"Syntax error in 17729 8 4 "
             "A6FA0EF598C528C860630AE82676B9CCF66161284960E81622E68C2F69ADBAA6215970F92214CCED9357"
             "B20714A36BDF6",
             "Digest format is invalid for digest type 4"}}}}},
        {"ripe-domain-18-invalid.txt",
         {{{"nserver", {"Glue records only allowed if hostname ends with 0.0.193.in-addr.arpa"}}},
          2}},
        {"ripe-domain-19-invalid.txt",
         {{{"nserver",
            {"Syntax error in pri.authdns.ripe.net.0.0.193.in-addr.arpa "
             "81.20.133.177.in-addr.arpa"}},
           {"nserver", {"Syntax error in ns3.nic.fr0.0.193.in-addr.arpa 2001:600::/32.ip6.arpa"}}},
          2}},
        {"ripe-key-cert-03-invalid.txt", {{{"certif", {"The supplied object has no key"}}}}},
        {"ripe-key-cert-04-invalid.txt",
         {{{"certif", {"AUTO-nnn can only be used with X509 key-cert"}}}}},
        {"ripe-key-cert-05-invalid.txt",
         {{{"mny-by", {"\"mny-by\" is not a known RPSL attribute"}},
           {"mnt-by", {"Mandatory attribute \"mnt-by\" is missing"}}}}},
        {"ripe-mntner-03-invalid.txt",
         {{{"source", {"Cannot submit filtered whois output for updates"}}}}},
        {"ripe-mntner-04-invalid.txt",
         {{{"source", {"Mandatory attribute \"source\" is missing"}}}}},
        {"ripe-mntner-05-invalid.txt",
         {{{"referral-by", {"\"referral-by\" is not a known RPSL attribute"}},
           {"auth", {"MD5-PW"}}}}},
        {"ripe-mntner-06-invalid.txt",
         {{{"mntner", {"When creating a MNTNER the name must end with an -MNT suffix"}},
           {"auth", {"MD5-PW"}}}}},
        {"ripe-mntner-07-invalid.txt",
         {{{"mntner", {"Reserved name used"}}, {"auth", {"MD5-PW"}}}}},
        {"ripe-person-05-invalid.txt", {{{"phone", {"Syntax error in invalid"}}}}},
        {"ripe-person-06-invalid.txt",
         {{{"abuse-mailbox", {"\"abuse-mailbox\" is not valid for this object type"}}}}},
        {"ripe-person-07-invalid.txt", {{{"nic-hdl", {"Syntax error in F"}}}}},
        {"ripe-person-08-invalid.txt", {{{"nic-hdl", {"Syntax error in Fuddd"}}}}},
        {"ripe-person-09-invalid.txt", {{{"nic-hdl", {"Syntax error in FP1-fred"}}}}},
        {"ripe-person-10-invalid.txt",
         {{{"source", {"End of line comments not allowed on \"source:\" attribute"}}}}},
        {"ripe-role-04-invalid.txt",
         {{{"abuse-mailbox", {QString::fromUtf8("Syntax error in ab\u00fcse@t\u00ebst.nl")}}}}},
        {"ripe-role-05-invalid.txt", {{{"e-mail", {"Mandatory attribute \"e-mail\" is missing"}}}}},
        {"ripe-route-04-invalid.txt", {{{"origin", {"Cannot use reserved AS number 64496"}}}}},
        {"ripe-route-05-invalid.txt",
         {{{"holes", {"10.1.0.0/16 is outside the range of this object"}}}}},
        {"ripe-route-06-invalid.txt",
         {{{"aggr-bndry", {"Syntax error in AS0.1234:AS-mytest:AS3:AS-test:AS7775234"}}}, 18}},
        {"ripe-route-07-invalid.txt",
         {{{"inject", {"Syntax error in upon HAVE-COMPONENTS {::/8}"}}}}},
        {"ripe-route-set-02-invalid.txt", {{{"members", {"Syntax error in 47.2479.0.0/16"}}}, 7}},
        {"ripe-route6-04-invalid.txt",
         {{{"route6", {"Bogon prefix 2001:2::/48 is not allowed."}}}}},
        {"irrd-as-set-01-invalid.txt",
         {{{"as-set", {"Invalid set name AS1:AS-ANY: component AS-ANY is a reserved word"}}}}},
        {"irrd-as-set-02-invalid.txt",
         {{{"as-set",
            {"Invalid set name AS1:AS3: at least one component must be an actual set "
             "name (i.e. start with AS-)"}}}}},
        {"irrd-aut-num-02-invalid.txt",
         {{{"aut-num", {"Invalid AS number ASxxxx: number part is not numeric"}}}}},
        {"irrd-key-cert-02-invalid.txt",
         {{{"certif", {"Unable to read public PGP key: key corrupt or multiple keys provided"}}}}},
        {"irrd-key-cert-03-invalid.txt",
         {{{"certif", {"Mandatory attribute \"certif\" on object key-cert is missing"}}}}},
        {"irrd-mntner-02-invalid.txt", {{{"auth", {"Invalid auth attribute", "PGPKEY-XX"}}}}},
        {"irrd-mntner-03-invalid.txt",
         {{{"changed", {"Invalid changed date", "20191301", "month out of range"}}}}},
        {"irrd-person-02-invalid.txt", {{{"e-mail", {"Invalid e-mail address", "foo.bar+baz@"}}}}},
        {"irrd-route-03-invalid.txt",
         {{{"route", {"Invalid address prefix", "192.0.2/24", "four octets"}}}}},
        {"irrd-route-04-invalid.txt",
         {{{"route", {"Invalid address prefix", "192.0.2.0/16", "host bits set"}}}}},
        {"irrd-route-05-invalid.txt",
         {{{"$$$-by", {"Line 3: encountered malformed attribute name: [$$$-by]"}}}}},
        {"irrd-route-06-invalid.txt",
         {{{"mnt-by", {"Mandatory attribute \"mnt-by\" on object route is missing"}}}}},
        {"irrd-route-07-invalid.txt", {{{"foo", {"Unrecognised attribute foo on object route"}}}}},
        {"irrd-route-08-invalid.txt",
         {{{"source",
            {"Invalid name", "+TEST$$$",
             "contains invalid characters, does not start with a letter, or does not "
             "end in a letter/digit"}}}}},
        {"irrd-route-set-02-invalid.txt",
         {{{"members",
            {"192.0.2.0/24^23", "operator length (23) must be equal to or longer "
                                "than prefix length (24)"}}}}},
        {"irrd-route6-01-invalid.txt",
         {{{"route6", {"Invalid address prefix", "12AB::CD30/60", "host bits set"}}}}},
    };
    return refusals;
}

// Whether `phrase` stands in `line` as a whole: not continued by a letter or digit.
bool HoldsPhrase(const QString& line, const QString& phrase) {
    for (qsizetype at = line.indexOf(phrase); at >= 0; at = line.indexOf(phrase, at + 1)) {
        const qsizetype end = at + phrase.size();
        if (end >= line.size() || !line[end].isLetterOrNumber()) return true;
    }
    return false;
}

class RegistrySamples : public ::testing::Test {
protected:
    static void SetUpTestSuite() { home = new TestGnupgHome; }
    static void TearDownTestSuite() {
        delete home;
        home = nullptr;
    }
    ProcessResult Check(const Sample& sample) {
        return RunObjectCommand({"check", "--registry", sample.registry, RpslSample(sample.file)},
                                dir.path(), dir.file("regiscribe.ini"));
    }
    static TestGnupgHome* home; // the keyring asked about maintainers' keys
    ScopedWorkDir dir;
};
TestGnupgHome* RegistrySamples::home = nullptr;
} // namespace

TEST_F(RegistrySamples, EveryAcceptedObjectPassesWithoutAnError) {
    int checked = 0;
    for (const Sample& sample : Samples()) {
        if (!sample.valid) continue;
        ++checked;
        const ProcessResult run = Check(sample);
        EXPECT_EQ(run.exitCode, 0) << sample.file.toStdString() << "\n"
                                   << run.out.toStdString() << run.err.toStdString();
        EXPECT_TRUE(VerdictLines(run, "error").isEmpty()) << sample.file.toStdString() << "\n"
                                                          << run.out.toStdString();
    }
    EXPECT_EQ(checked, 40);
}

TEST_F(RegistrySamples, EveryRefusedObjectGetsTheRegistrysRuleOnItsAttribute) {
    int checked = 0;
    for (const Sample& sample : Samples()) {
        if (sample.valid) continue;
        ++checked;
        const auto refusal = Refusals().find(sample.file);
        ASSERT_NE(refusal, Refusals().end()) << sample.file.toStdString();
        const ProcessResult run = Check(sample);
        EXPECT_EQ(run.exitCode, 1) << sample.file.toStdString();
        const QStringList errors = VerdictLines(run, "error");
        for (const Expected& expected : refusal->second.lines) {
            bool found = false;
            for (const QString& line : errors) {
                bool all = line.startsWith("error   " + expected.attribute + ": ");
                for (const QString& phrase : expected.phrases)
                    all = all && HoldsPhrase(line, phrase);
                found = found || all;
            }
            EXPECT_TRUE(found) << sample.file.toStdString() << ": no error on "
                               << expected.attribute.toStdString() << " saying "
                               << expected.phrases.join(" ... ").toStdString() << "\n"
                               << run.out.toStdString();
        }
        if (refusal->second.errors >= 0) {
            EXPECT_EQ(errors.size(), refusal->second.errors) << sample.file.toStdString() << "\n"
                                                             << run.out.toStdString();
        }
    }
    EXPECT_EQ(checked, 54);
}

// Where the registry accepted a value and told how it keeps it, the warning says the same.
TEST_F(RegistrySamples, ConversionsTheRegistryAnnouncedAreWarnedWithItsResult) {
    const ProcessResult route6 = Check({"ripe-route6-03-valid.txt", "ripe-test", true});
    const QStringList routeWarnings = VerdictLines(route6, "warning");
    ASSERT_EQ(routeWarnings.size(), 1) << route6.out.toStdString();
    EXPECT_TRUE(routeWarnings[0].startsWith("warning route6: 2001:600::1/32 "));
    EXPECT_TRUE(HoldsPhrase(routeWarnings[0], "2001:600::/32"));

    const ProcessResult domain = Check({"ripe-domain-03-valid.txt", "ripe-test", true});
    const QStringList domainWarnings = VerdictLines(domain, "warning");
    ASSERT_EQ(domainWarnings.size(), 1) << domain.out.toStdString();
    EXPECT_TRUE(domainWarnings[0].startsWith("warning nserver: 10.0.0.0/32 "));
    EXPECT_TRUE(HoldsPhrase(domainWarnings[0].mid(30), "10.0.0.0"));
}

// Under the other rule set the same object meets other rules: RIPE takes the short prefix IRRd
// refuses, IRRd the leading zero RIPE refuses.
TEST_F(RegistrySamples, TheRuleSetsDifferWhereTheRegistriesDo) {
    const ProcessResult shortPrefix = Check({"ripe-route-01-valid.txt", "radb", true});
    EXPECT_EQ(shortPrefix.exitCode, 1);
    EXPECT_TRUE(VerdictLines(shortPrefix, "error")
                    .contains("error   route: Invalid address prefix 195.0/24: all four octets "
                              "must be written"))
        << shortPrefix.out.toStdString();
    const ProcessResult leadingZero = Check({"irrd-aut-num-01-valid.txt", "ripe-test", true});
    EXPECT_EQ(leadingZero.exitCode, 1);
    bool refused = false;
    for (const QString& line : VerdictLines(leadingZero, "error"))
        refused = refused || line.startsWith("error   aut-num: Syntax error in as065537 (");
    EXPECT_TRUE(refused) << leadingZero.out.toStdString();
}
