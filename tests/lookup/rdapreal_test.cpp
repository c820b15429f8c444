// RDAP against what real registries send: real answers (tests/samples/rdap) served by the tests'
// HTTPS server, the bootstrap's fallbacks, links that must not be fetched, and names that must not
// be asked.
#include "support/loopbackpeer.h"
#include "support/process.h"
#include "support/rdapserver.h"
#include "support/refusingport.h"
#include "support/tempdir.h"
#include "support/testcerts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {
QJsonObject Sample(const QString& name) {
    QFile file(QString(TESTS_SOURCE_DIR) + "/samples/rdap/" + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return QJsonDocument::fromJson(file.readAll()).object();
}

class RdapReal : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(certs.Made()) << certs.Problem().toStdString();
        server = std::make_unique<LocalRdapServer>(certs.Cert("server"), certs.Key("server"));
        ASSERT_NE(server->Port(), 0);
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
        routes = QJsonDocument::fromJson(ReadAll(server->Routes())).object();
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }

    QString Url(const QString& path) const {
        return "https://localhost:" + QString::number(server->Port()) + path;
    }
    // A bootstrap file of these services ([entries, base URLs] each).
    void Bootstrap(const QString& file, std::initializer_list<QJsonArray> services) {
        QJsonArray list;
        for (const QJsonArray& service : services)
            list.append(service);
        routes["/bootstrap/" + file] = QJsonObject{{"body", QJsonObject{{"services", list}}}};
    }
    void Route(const QString& path, const QJsonObject& route) { routes[path] = route; }
    void Answer(const QString& path, const QJsonValue& body) { Route(path, {{"body", body}}); }
    ProcessResult Rdap(const QString& name, const QStringList& more = {}) {
        WriteAll(server->Routes(), QJsonDocument(routes).toJson());
        return RunCli(QStringList{"rdap", name, "--bootstrap", server->Bootstrap()} + more,
                      QString(), {}, 60000);
    }
    static QJsonArray Service(const QStringList& entries, const QStringList& bases) {
        return QJsonArray{QJsonArray::fromStringList(entries), QJsonArray::fromStringList(bases)};
    }
    // The registry's answer, pointing its registrar link at `href`.
    static QJsonObject WithRegistrarLink(QJsonObject answer, const QString& href) {
        QJsonArray links = answer["links"].toArray();
        for (QJsonValueRef l : links) {
            QJsonObject link = l.toObject();
            if (link["rel"].toString() == "related") link["href"] = href;
            l = link;
        }
        answer["links"] = links;
        return answer;
    }

    TestCertificates certs;
    TrustTestAuthority trust{certs.Authority()};
    QTemporaryDir cache;
    std::unique_ptr<LocalRdapServer> server;
    QJsonObject routes;
};
} // namespace

TEST_F(RdapReal, GithubFromTheRegistryAndItsRegistrarShowsEveryContactFact) {
    Bootstrap("dns.json", {Service({"com"}, {Url("/real/")})});
    Answer("/real/domain/github.com", WithRegistrarLink(Sample("bbot_verisign_com_github.json"),
                                                        Url("/registrar/domain/GITHUB.COM")));
    Answer("/registrar/domain/GITHUB.COM", Sample("bbot_registrar_markmonitor_github.json"));
    const ProcessResult r = Rdap("github.com");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = OutputLines(r.out);
    for (const char* expected : {
             "Registrar: MarkMonitor Inc.",
             "Registrar IANA ID: 292",
             "Abuse E-Mail: abusecomplaints@markmonitor.com",
             "Abuse Phone: +1.2086851750",
             // The registrar's part.
             "Registrar Expires: 2028-10-09T18:20:50.000+00:00",
             "WHOIS Server: whois.markmonitor.com",
             "Registrant Organization: GitHub, Inc.",
             "Registrant Contact: https://domains.markmonitor.com/whois/contact/github.com",
             "Registrant Address: US",
             "Technical Contact: https://domains.markmonitor.com/whois/contact/github.com",
             "Registrar Contact: https://www.markmonitor.com/contact-us/",
             "Registrar Address: 3540 E Longwing Ln, Meridian, ID, 83646, US",
             "Abuse Contact: https://corp.markmonitor.com/domain/ui/abuse-report",
         })
        EXPECT_TRUE(lines.contains(expected)) << expected << "\n" << r.out.toStdString();
    // Redacted values are not shown as facts; the remark that says so is.
    for (const QString& line : lines) {
        if (line.contains("REDACTED")) {
            EXPECT_TRUE(line.endsWith(" Remark: REDACTED FOR PRIVACY")) << line.toStdString();
        }
    }
    const qsizetype remark = lines.indexOf("Registrant Remark: REDACTED FOR PRIVACY");
    ASSERT_GE(remark, 0);
    EXPECT_EQ(lines.value(remark + 1), "  Some of the data in this object has been removed.");
}

TEST_F(RdapReal, NamecheapShowsItsRedactionsDsRecordAndEveryContactsMail) {
    Bootstrap("dns.json", {Service({"com"}, {Url("/real/")})});
    Answer("/real/domain/namecheap.com", Sample("bbot_registrar_namecheap_namecheap.json"));
    const ProcessResult r = Rdap("namecheap.com");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = OutputLines(r.out);
    for (const char* expected : {
             "Registrar Expires: 2032-08-11T16:15:25Z",
             "DS Record: 38713 13 2 "
             "E6B0117FBA5B056704992D8DDA68B6E46422EB6C67ABDE7481AE06E3772D0E7F",
             "Registrar E-Mail: support@namecheap.com",
             "Registrar Phone: +1.6613102107",
             "Abuse E-Mail: abuse@namecheap.com",
             "Abuse Phone: +1.9854014545",
             "Registrant E-Mail: b9ea79ab741f464db85514b28cc28ed9.protect@withheldforprivacy.com",
             "Registrant Address: 16192 Coastal Highway, Lewes, Delaware, 19958, US",
             "Redacted: Registry Domain ID",
             "Redacted: Registrant Name",
             "Redacted: Tech Name",
         })
        EXPECT_TRUE(lines.contains(expected)) << expected << "\n" << r.out.toStdString();
}

TEST_F(RdapReal, TheArinNetworkShowsItsCidrsDatesStatusParentAndNoticeLinks) {
    Bootstrap("ipv4.json", {Service({"13.0.0.0/8"}, {Url("/arin/")})});
    Answer("/arin/ip/13.64.0.1", Sample("whoisit_ip_v4_3.json"));
    const ProcessResult r = Rdap("13.64.0.1");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = OutputLines(r.out);
    for (const char* expected :
         {"Network: 13.64.0.0 - 13.107.255.255", "CIDR: 13.64.0.0/11", "CIDR: 13.96.0.0/13",
          "CIDR: 13.104.0.0/14", "Status: active", "Registered: 2015-03-26T13:58:18-04:00",
          "Last changed: 2021-12-14T20:28:53-05:00", "Parent Handle: NET-13-0-0-0-0",
          "Registrant Handle: MSFT",
          "Registrant Address: One Microsoft Way, Redmond, WA, 98052, United States",
          "Abuse E-Mail: abuse@microsoft.com"})
        EXPECT_TRUE(lines.contains(expected)) << expected << "\n" << r.out.toStdString();
    const qsizetype notice =
        lines.indexOf("If you see inaccuracies in the results, please visit: ");
    ASSERT_GE(notice, 0);
    EXPECT_EQ(lines.value(notice + 1),
              "  https://www.arin.net/resources/registry/whois/inaccuracy_reporting/");
}

TEST_F(RdapReal, WikipediaShowsItsNameServersAddressesAndTransfer) {
    Bootstrap("dns.json", {Service({"org"}, {Url("/real/")})});
    Answer("/real/domain/wikipedia.org", Sample("bbot_pir_org_wikipedia.json"));
    const ProcessResult r = Rdap("wikipedia.org", {"--no-referral"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = OutputLines(r.out);
    EXPECT_TRUE(lines.contains("Name Server: ns0.wikimedia.org (208.80.154.238, 2620:0:861:53::1)"))
        << r.out.toStdString();
    EXPECT_TRUE(lines.contains("Transferred: 2012-03-09T16:33:50.754Z"));
}

TEST_F(RdapReal, TheNextBaseUrlServesWhenOneIsRefusedAndABadRefreshKeepsTheGoodCopy) {
    RefusingPort refusing;
    const QString refused = "https://localhost:" + QString::number(refusing.port()) + "/x/";
    Bootstrap("dns.json", {Service({"com"}, {refused, Url("/com/")})});
    ProcessResult r = Rdap("example.com", {"--no-referral"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(OutputLines(r.out).contains("Asking " + refused + "domain/example.com ..."));
    EXPECT_TRUE(OutputLines(r.out).contains("Domain Name: EXAMPLE.COM"));

    // Two days later a captive portal answers the refresh with its page, status 200.
    const QString copy = QDir(cache.path() + "/regiscribe")
                             .entryInfoList({"*-dns.json"}, QDir::Files)
                             .value(0)
                             .filePath();
    ASSERT_FALSE(copy.isEmpty());
    const QByteArray good = ReadAll(copy);
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
    file.close();
    Route("/bootstrap/dns.json",
          {{"type", "text/html"}, {"body", "<html>Sign in to Wi-Fi</html>"}});
    r = Rdap("example.com", {"--no-referral"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(OutputLines(r.out).contains("Domain Name: EXAMPLE.COM"));
    EXPECT_EQ(ReadAll(copy), good);
    // Tried again after an hour, not at every look-up.
    const int asked = server->Requests().count("/bootstrap/dns.json");
    ASSERT_EQ(Rdap("example.com", {"--no-referral"}).exitCode, 0);
    EXPECT_EQ(server->Requests().count("/bootstrap/dns.json"), asked);
    const qint64 age = QFileInfo(copy).lastModified().secsTo(QDateTime::currentDateTime());
    EXPECT_GE(age, 22 * 3600);
    EXPECT_LE(age, 23 * 3600 + 60);

    // A good refresh replaces the copy.
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
    file.close();
    Bootstrap("dns.json", {Service({"com", "fresh"}, {Url("/com/")})});
    ASSERT_EQ(Rdap("example.com", {"--no-referral"}).exitCode, 0);
    EXPECT_TRUE(ReadAll(copy).contains("fresh"));
}

TEST_F(RdapReal, LinksAndRedirectsThatLeaveHttpsAreNotFollowedAndSaySo) {
    Bootstrap("dns.json", {Service({"test"}, {Url("/t/")})});
    WriteAll(cache.path() + "/secret.txt", "SECRET-CONTENT");
    QJsonObject answer{{"objectClassName", "domain"}, {"ldhName", "file.test"}};
    for (const QString& href : {"file://" + cache.path() + "/secret.txt",
                                QString("http://localhost:%1/plain").arg(server->Port())}) {
        answer["links"] = QJsonArray{
            QJsonObject{{"rel", "related"}, {"type", "application/rdap+json"}, {"href", href}}};
        Answer("/t/domain/file.test", answer);
        const ProcessResult r = Rdap("file.test");
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(OutputLines(r.out).last(),
                  "Registrar's answer not fetched: its address is not https (" + href + ").");
        EXPECT_FALSE(r.out.contains("SECRET"));
    }
    EXPECT_FALSE(server->Requests().contains("/plain"));

    Route("/t/domain/loop.test", {{"status", 301}, {"location", "/t/domain/loop.test"}});
    ProcessResult r = Rdap("loop.test");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Too many redirects (" + Url("/t/domain/loop.test").toUtf8() + ").\n");
    Route("/t/domain/down.test",
          {{"status", 302}, {"location", QString("http://localhost:%1/t/x").arg(server->Port())}});
    r = Rdap("down.test");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QString("The server redirected to an address that is not https: "
                             "http://localhost:%1/t/x.\n")
                         .arg(server->Port())
                         .toUtf8());
    Route("/t/domain/busy.test", {{"status", 429},
                                  {"headers", QJsonObject{{"Retry-After", "30"}}},
                                  {"body", QJsonObject{{"errorCode", 429}}}});
    r = Rdap("busy.test");
    EXPECT_EQ(r.err, "RDAP server error: 429 Too Many Requests; try again in 30 seconds.\n");

    // A right-to-left override cannot turn the line around.
    Answer("/t/domain/rlo.test",
           QJsonObject{{"objectClassName", "domain"},
                       {"nameservers",
                        QJsonArray{QJsonObject{{"ldhName", QString("ns1.\u202Emoc.elpmaxe")}}}}});
    r = Rdap("rlo.test");
    EXPECT_TRUE(OutputLines(r.out).contains(QString("Name Server: ns1.\uFFFDmoc.elpmaxe")))
        << r.out.toStdString();
}

TEST_F(RdapReal, NamesAndNumbersThatAreNoNameOrAddressAreNeverAsked) {
    struct Case {
        QString typed, told;
    } cases[] = {
        {"1.1", "The text 1.1 is neither a domain name nor an IP address."},
        {"300.1.2.3", "The text 300.1.2.3 is neither a domain name nor an IP address."},
        // The invisible joiner is shown as its escape on the terminal.
        {QString("a\u200Db.example"),
         QString("a\\u{200D}b.example is not a valid international name: string contains a "
                 "forbidden context-j character.")},
    };
    for (const Case& c : cases) {
        const ProcessResult r = Rdap(c.typed);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(QString::fromUtf8(r.err), c.told + "\n");
    }
    EXPECT_TRUE(server->Requests().isEmpty());
    // A leading zero is decimal: asked as 74.125.225.229, never as octal 60.
    Bootstrap("ipv4.json", {Service({"74.0.0.0/8"}, {Url("/ip74/")})});
    Rdap("074.125.225.229");
    EXPECT_TRUE(server->Requests().contains("/ip74/ip/74.125.225.229"));
}

TEST(WhoisRefusals, ANameUts46RefusesIsNeverSentAndAnRWhoisReferralIsTold) {
    ScriptedPeer server({ReadQuery(), Send("ok\n")}, 1);
    const QString at = "127.0.0.1:" + QString::number(server.port());
    ProcessResult r = RunCli({"whois", QString("domain a\u200Db.example"), "--server", at});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.err),
              QString("a\\u{200D}b.example is not a valid international name: string contains "
                      "a forbidden context-j character.\n"));
    EXPECT_TRUE(server.Queries().isEmpty());
    // Every word that is a name goes as its A-label.
    r = RunCli({"whois", QString("=b\u00fccher.example"), "--server", at});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(server.Queries(), QList<QByteArray>{"=xn--bcher-kva.example\r\n"});

    QFile arin(QString(TESTS_SOURCE_DIR) + "/samples/whois/arin_162.144.47.96.txt");
    ASSERT_TRUE(arin.open(QIODevice::ReadOnly));
    ScriptedPeer registry({ReadQuery(), Send(arin.readAll())});
    r = RunCli({"whois", "162.144.47.96", "--server",
                "127.0.0.1:" + QString::number(registry.port()), "--follow"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("\nReferral to rwhois://rwhois.unifiedlayer.com:4321 not followed: "
                               "RWhois is not supported.\n"))
        << r.out.toStdString();
}

TEST_F(RdapReal, RemarksEventsLinksKeysPhonesAndIdsOfRealAnswersAreEachShown) {
    // ARIN: remarks inside the entities (their lines ended by CRs), the entities' dates, and a
    // network's related link.
    QJsonObject network = Sample("whoisit_ip_v4_3.json");
    QJsonArray links = network["links"].toArray();
    links.append(QJsonObject{{"rel", "related"},
                             {"type", "application/rdap+json"},
                             {"href", "https://rdap.example.net/ip/13.0.0.0/8"}});
    network["links"] = links;
    Bootstrap("ipv4.json", {Service({"13.0.0.0/8"}, {Url("/arin/")})});
    Answer("/arin/ip/13.64.0.1", network);
    ProcessResult r = Rdap("13.64.0.1");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = OutputLines(r.out);
    const qsizetype remark = lines.indexOf("Registrant Remark: Registration Comments");
    ASSERT_GE(remark, 0) << r.out.toStdString();
    EXPECT_EQ(lines.mid(remark + 1, 3),
              (QStringList{"  To report suspected security issues specific to traffic emanating "
                           "from Microsoft online services, including the distribution of "
                           "malicious content or other illicit or illegal material through a "
                           "Microsoft online service, please submit reports to:",
                           "  * https://cert.microsoft.com.  ", "  "}));
    for (const char* expected : {"Link: https://rdap.example.net/ip/13.0.0.0/8 (related)",
                                 "Registrant Registered: 1998-07-10T00:00:00-04:00",
                                 "Technical Phone: +1-425-882-8080 (work)",
                                 "Technical Registered: 2013-08-20T19:26:59-04:00",
                                 "Technical Remark: Registration Comments"})
        EXPECT_TRUE(lines.contains(expected)) << expected << "\n" << r.out.toStdString();

    // Verisign: the date of the database's last update; an action no standard names keeps its own
    // name and date.
    QJsonObject github = Sample("bbot_verisign_com_github.json");
    QJsonArray events = github["events"].toArray();
    events.append(
        QJsonObject{{"eventAction", "last update"}, {"eventDate", "2026-10-02T08:00:00Z"}});
    github["events"] = events;
    Bootstrap("dns.json", {Service({"com", "example"}, {Url("/real/")})});
    Answer("/real/domain/github.com", github);
    r = Rdap("github.com", {"--no-referral"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    lines = OutputLines(r.out);
    EXPECT_TRUE(lines.contains("Last update of RDAP database: 2026-10-01T21:04:58Z"));
    EXPECT_TRUE(lines.contains("Last update: 2026-10-02T08:00:00Z")) << r.out.toStdString();

    // A registry answer as the 2024 profile writes it: DNSKEY data (key tags as BIND's
    // dnssec-keygen computed them for these keys), a registrant's public ID, and every kind of
    // telephone.
    Answer("/real/domain/signed.example", QJsonDocument::fromJson(R"({
        "objectClassName": "domain", "ldhName": "signed.example",
        "secureDNS": {"delegationSigned": true, "keyData": [
            {"flags": 257, "protocol": 3, "algorithm": 13, "publicKey":
             "uGM/0MxhcAfSu0yinJgf7MUc6HYhGwvNM+e/L2ktk7lGJtQnyDf7qYAsmycqGSDfLdHWV7Av9nasbdjhbBBLaA=="},
            {"flags": 256, "protocol": 3, "algorithm": 8, "publicKey":
             "AwEAAanhzDYrAppbpnNrYk5CXfsKRzvP1Sp754VXQ25ZpHAPTa6k9y7C Nc8J2gNMogLSg0+fvdbGUF6NmrvOhdXqJaWl6eFRk1uCoGvVnRduoaD8 +sCKw32tm1kYyibEcGh0pcnnXRXyx2uubt2RtlQQUJihvCyIfzon83kG xXITn04tVxeLajFATZA9+QL7V7PdgcvVALa+CapUuvOit4OvVXLJh5kO bt6uuClo6xexvEf6W/N4okRttO9hK7sCmc8bibebwp7UrLDnS7y0iADa xZOzTtcUn7VcGzkraBIYuPedhgUC9CD/L2qbzPNI0TkO+t6wR54tWJAy 9rQOcOthABE="}]},
        "entities": [{"objectClassName": "entity", "handle": "C-1", "roles": ["registrant"],
            "publicIds": [{"type": "company registration", "identifier": "HRB 12345"}],
            "vcardArray": ["vcard", [["version", {}, "text", "4.0"],
                ["fn", {}, "text", "Jane Roe"],
                ["tel", {"type": "voice"}, "uri", "tel:+1.5555550100"],
                ["tel", {"type": "fax"}, "uri", "tel:+1.5555550199"],
                ["tel", {"type": ["cell", "text"]}, "uri", "tel:+1.5555550142"],
                ["tel", {"type": "work,voice,fax"}, "text", "+1.5555550111"]]]}]})")
                                              .object());
    r = Rdap("signed.example", {"--no-referral"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The bootstrap file comes from the cache now: one progress line fewer.
    EXPECT_EQ(OutputLines(r.out).mid(3),
              (QStringList{"Domain Name: signed.example", "DNSSEC: signed",
                           "DNSKEY: flags 257, protocol 3, algorithm 13, key tag 2844, key "
                           "uGM/0MxhcAfS\u2026bBBLaA==",
                           "DNSKEY: flags 256, protocol 3, algorithm 8, key tag 57355, key "
                           "AwEAAanhzDYr\u2026cOthABE=",
                           "Registrant Name: Jane Roe", "Registrant Handle: C-1",
                           "Registrant Public ID: HRB 12345 (company registration)",
                           "Registrant Phone: +1.5555550100", "Registrant Fax: +1.5555550199",
                           "Registrant Mobile: +1.5555550142 (text)",
                           "Registrant Phone: +1.5555550111 (work, fax)"}));
}

TEST_F(RdapReal, AnEntityAndANameServerAreAskedByTheirOwnPaths) {
    // The object tags' file (RFC 8521) names ARIN's service for handles ending in "-ARIN"; the
    // entity is ARIN's own, from the real answer.
    // (One service handed over as a list of services: braces around a single array would copy
    // it with some compilers instead of nesting it.)
    Bootstrap("object-tags.json", {QJsonArray{QJsonArray{"hostmaster@example.net"},
                                              QJsonArray{"ARIN"}, QJsonArray{Url("/arin/")}}});
    const QJsonObject arinEntity =
        Sample("whoisit_ip_v4_3.json")["entities"][0]["entities"][0].toObject();
    Answer("/arin/entity/MRPD-ARIN", arinEntity);
    ProcessResult r = Rdap("entity", {"MRPD-ARIN"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = OutputLines(r.out);
    EXPECT_EQ(lines.mid(0, 3),
              (QStringList{"Looking up MRPD-ARIN with RDAP...",
                           "Asking " + server->Bootstrap() + "object-tags.json ...",
                           "Asking " + Url("/arin/entity/MRPD-ARIN") + " ..."}));
    for (const char* expected :
         {"Handle: MRPD-ARIN", "Technical Name: Microsoft Routing, Peering, and DNS",
          "Technical E-Mail: IOC@microsoft.com", "Technical Phone: +1-425-882-8080 (work)",
          "Technical Last changed: 2020-10-16T10:03:45-04:00",
          "Technical Remark: Registration Comments"})
        EXPECT_TRUE(lines.contains(expected)) << expected << "\n" << r.out.toStdString();
    EXPECT_FALSE(lines.contains("Technical Handle: MRPD-ARIN"));
    // A handle no registry tags is not guessed at.
    r = Rdap("entity", {"JR42"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "No RDAP service is known for JR42.\n");

    // A name server: its own object, an international name as its A-label; a registry that does
    // not serve name servers says so in its error's description.
    Bootstrap("dns.json", {Service({"example"}, {Url("/reg/")})});
    Answer("/reg/nameserver/ns1.xn--bcher-kva.example",
           QJsonDocument::fromJson(R"({"objectClassName": "nameserver",
               "ldhName": "ns1.xn--bcher-kva.example", "unicodeName": "ns1.bücher.example",
               "ipAddresses": {"v4": ["192.0.2.53"], "v6": ["2001:db8::53"]},
               "status": ["active"],
               "events": [{"eventAction": "registration", "eventDate": "2020-01-02T03:04:05Z"}]})")
               .object());
    r = Rdap("nameserver", {QString("NS1.B\u00dcCHER.example")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(OutputLines(r.out).mid(3),
              (QStringList{"", "Name Server: ns1.xn--bcher-kva.example",
                           "Unicode Name: ns1.b\u00fccher.example", "IP Address: 192.0.2.53",
                           "IP Address: 2001:db8::53", "Status: active",
                           "Registered: 2020-01-02T03:04:05Z"}));
    Route("/reg/nameserver/ns2.example",
          {{"status", 501},
           {"body", QJsonObject{{"errorCode", 501},
                                {"title", "501 Not Implemented"},
                                {"description", QJsonArray{"Nameserver not supported"}}}}});
    r = Rdap("nameserver", {"ns2.example"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "RDAP server error: 501 Not Implemented: Nameserver not supported\n");
}

TEST_F(RdapReal, ABootstrapListingALocalFileIsNeverRead) {
    const QString secret = cache.path() + "/secret.json";
    WriteAll(secret, R"({"objectClassName": "domain", "ldhName": "SECRET-CONTENT"})");
    const QString file = "file://" + cache.path() + "/";
    // Listed before the registry's https address: passed over with a note.
    Bootstrap("dns.json", {Service({"test"}, {file, Url("/t/")}), Service({"local"}, {file})});
    Answer("/t/domain/a.test", QJsonObject{{"objectClassName", "domain"}, {"ldhName", "A.TEST"}});
    ProcessResult r = Rdap("a.test");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString note = "RDAP service address ignored: it is not https (" + file + ").";
    EXPECT_EQ(OutputLines(r.out).mid(2, 2),
              (QStringList{note, "Asking " + Url("/t/domain/a.test") + " ..."}));
    // The only address a registry has is a file: no service, nothing read.
    r = Rdap("secret.local");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "No RDAP service is known for secret.local.\n");
    EXPECT_TRUE(OutputLines(r.out).contains(note));
    EXPECT_FALSE(r.out.contains("SECRET"));
    // With --json the note goes to standard error, beside the answer.
    r = Rdap("a.test", {"--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, note.toUtf8() + "\n");

    // Nor is a bootstrap location that is a file.
    WriteAll(cache.path() + "/dns.json", R"({"services": [[["local"], ["file:///"]]]})");
    r = RunCli({"rdap", "x.local", "--bootstrap", file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Not fetched: the address is not https (" + file.toUtf8() + "dns.json).\n");
}

TEST_F(RdapReal, ServersTextsReachTheTerminalOnlyAsEscapes) {
    Bootstrap("dns.json", {Service({"test"}, {Url("/t/"), "ftp://mirror\u001b[2J.example/"})});
    // An error's title and description, a registrar's link and the fields of an answer, holding
    // an escape sequence, a bell, C1's next-line, a line separator and a right-to-left override.
    const QString hostile = "\u001b[31mred\u0007 \u0085\u2028\u202Eevil";
    Route("/t/domain/error.test",
          {{"status", 500},
           {"body", QJsonObject{{"title", hostile}, {"description", QJsonArray{hostile}}}}});
    Answer("/t/domain/fields.test",
           QJsonObject{{"objectClassName", "domain"},
                       {"ldhName", hostile},
                       {"links", QJsonArray{QJsonObject{{"rel", "related"},
                                                        {"type", "application/rdap+json"},
                                                        {"href", "http://x/" + hostile}}}}});
    for (const char* name : {"error.test", "fields.test"}) {
        const ProcessResult r = Rdap(name);
        EXPECT_FALSE(r.out.isEmpty());
        for (const QByteArray& printed : {r.out, r.err}) {
            for (const QByteArray raw :
                 {"\x1B", "\x07", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xAE"})
                EXPECT_FALSE(printed.contains(raw)) << name << ": " << raw.toHex().toStdString();
        }
    }
    const ProcessResult r = Rdap("error.test");
    EXPECT_TRUE(r.err.startsWith("RDAP server error: 500 Internal Server Error: \\x1B[31mred\\x07"))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("RDAP service address ignored: it is not https "
                               "(ftp://mirror\\x1B[2J.example/)."))
        << r.out.toStdString();
}
