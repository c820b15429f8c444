// `regiscribe-cli rdap` against a local HTTPS server with a test authority: the lines shown for
// answers shaped like real ones, the errors, the bootstrap cache, and hostile answers.
#include "support/process.h"
#include "support/rdapserver.h"
#include "support/sanitized.h"
#include "support/tempdir.h"
#include "support/testcerts.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {
// The answer's lines: those after the first empty line (the progress lines come before it, and
// an asking line fewer when the bootstrap file came from the cache).
QStringList Answer(const QByteArray& out) {
    const QStringList lines = OutputLines(out);
    return lines.mid(lines.indexOf(QString()) + 1);
}

class RdapCli : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(certs.Made()) << certs.Problem().toStdString();
        expired = std::make_unique<LocalRdapServer>(certs.Cert("expired"), certs.Key("expired"));
        server = std::make_unique<LocalRdapServer>(
            certs.Cert("server"), certs.Key("server"),
            QStringList{"EXPIRED=" + QString::number(expired->Port())});
        ASSERT_NE(server->Port(), 0);
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }
    ProcessResult Rdap(const QString& name, const QStringList& more = {}) {
        return RunCli(QStringList{"rdap", name, "--bootstrap", server->Bootstrap()} + more,
                      QString(), {}, 60000);
    }
    QString Url(const QString& path) const {
        return "https://localhost:" + QString::number(server->Port()) + path;
    }

    TestCertificates certs;
    TrustTestAuthority trust{certs.Authority()};
    QTemporaryDir cache;
    std::unique_ptr<LocalRdapServer> server, expired;
};
} // namespace

TEST_F(RdapCli, ADotComDomainWithTheRegistrarsAnswerAndRedactedContacts) {
    ProcessResult r = Rdap("example.com");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(
        OutputLines(r.out),
        (QStringList{
            "Looking up example.com with RDAP...",
            "Asking " + server->Bootstrap() + "dns.json ...",
            "Asking " + Url("/com/domain/example.com") + " ...",
            "",
            "Domain Name: EXAMPLE.COM",
            "Handle: 2336799_DOMAIN_COM-VRSN",
            "Status: client delete prohibited",
            "Status: client transfer prohibited",
            "Registered: 1995-08-14T04:00:00Z",
            "Expires: 2027-08-13T04:00:00Z",
            "Last changed: 2026-08-14T07:01:38Z",
            "Last update of RDAP database: 2026-12-08T10:00:00Z",
            "Name Server: A.IANA-SERVERS.NET",
            "Name Server: B.IANA-SERVERS.NET",
            "DNSSEC: signed",
            "Registrar: RESERVED-Internet Assigned Numbers Authority",
            "Registrar IANA ID: 376",
            "Registrar Handle: 376",
            "Abuse E-Mail: abuse@iana.example",
            "Abuse Phone: +1.3103015800",
            "",
            "Terms of Use",
            "Service subject to Terms of Use.",
            "",
            "Status Codes",
            "For more information on domain status codes,",
            "please visit https://icann.example/epp",
            "Asking " + Url("/registrar/domain/example.com") + " ...",
            "",
            "Registrar's answer (" + Url("/registrar/domain/example.com") + "):",
            "Domain Name: example.com",
            "Registrant Organization: Internet Assigned Numbers Authority",
            "Registrant Address: CA, US",
            "Technical Name: Jane Roe",
            "Technical E-Mail: jane@example.com",
            "Technical Address: 12025 Waterfront Drive, Suite 300, Los Angeles, CA, 90094, US",
            "Administrative Name: Jane Roe",
            "Administrative E-Mail: jane@example.com",
            "Administrative Address: 12025 Waterfront Drive, Suite 300, Los Angeles, CA, "
            "90094, US",
        }));

    // Without the referral only the registry's part; a redirect is followed.
    r = Rdap("moved.com", {"--no-referral"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(OutputLines(r.out).contains("Domain Name: EXAMPLE.COM"));
    EXPECT_FALSE(r.out.contains("Registrar's answer"));
}

TEST_F(RdapCli, InternationalNamesNetworksAndAutonomousSystems) {
    ProcessResult r = Rdap("b\u00fccher.example");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(server->Requests().contains("/idn/domain/xn--bcher-kva.example"));
    EXPECT_EQ(OutputLines(r.out).mid(3),
              (QStringList{"", "Domain Name: xn--bcher-kva.example",
                           "Unicode Name: b\u00fccher.example", "Status: active"}));

    // The longest listed suffix wins: "co.example" before "example".
    r = Rdap("shop.co.example");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(server->Requests().contains("/sub/domain/shop.co.example"));

    r = Rdap("192.0.2.1");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(OutputLines(r.out).mid(2),
              (QStringList{"Asking " + Url("/ip4/ip/192.0.2.1") + " ...", "",
                           "Network: 192.0.2.0 - 192.0.2.255", "Name: TEST-NET-1",
                           "Handle: NET-192-0-2-0-1", "Type: ASSIGNMENT", "Country: US", "",
                           "Documentation", "Addresses for documentation (RFC 5737)."}));

    r = Rdap("2001:db8::1");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(Answer(r.out).mid(0, 2), (QStringList{"Network: 2001:db8:: - "
                                                    "2001:db8:ffff:ffff:ffff:ffff:ffff:ffff",
                                                    "Name: IPV6-DOC-AP"}));

    for (const char* as : {"AS64500", "as64500", "64500"}) {
        r = Rdap(as);
        ASSERT_EQ(r.exitCode, 0) << as << r.err.toStdString();
        EXPECT_EQ(Answer(r.out),
                  (QStringList{"AS Number: 64496 - 64511", "Name: DOC-ASN", "Handle: AS64496",
                               "Type: DIRECT ALLOCATION", "Country: US"}));
    }
}

TEST_F(RdapCli, NoMatchServerErrorsAndUnknownRegistriesAreClearFailures) {
    struct Case {
        const char* name;
        QString text;
    };
    const Case cases[] = {
        {"nosuch.com", "No match for nosuch.com."},
        {"error.com",
         "RDAP server error: 500 Internal Server Error: Backend unavailable: Try again later."},
        {"example.org", "No RDAP service is known for example.org."},
    };
    for (const Case& c : cases) {
        ProcessResult r = Rdap(c.name);
        EXPECT_EQ(r.exitCode, 1) << c.name;
        EXPECT_EQ(r.err, (c.text + "\n").toUtf8());
        EXPECT_EQ(OutputLines(r.out).last(), c.text);
    }
}

TEST_F(RdapCli, AnExpiredCertificateAndAServerThatNeverAnswersFailWithTheirText) {
    ProcessResult r = Rdap("x.expired");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("expired")) << r.err.toStdString();

    QElapsedTimer clock;
    clock.start();
    r = Rdap("wait.slow");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The RDAP server did not answer within 15 seconds\n");
    EXPECT_GE(clock.elapsed(), 14000);
    EXPECT_LT(clock.elapsed(), 30000);
}

TEST_F(RdapCli, TheBootstrapFileIsCachedForADayAndAnOldCopyServesWhenTheFetchFails) {
    ASSERT_EQ(Rdap("example.com", {"--no-referral"}).exitCode, 0);
    ASSERT_EQ(Rdap("example.com", {"--no-referral"}).exitCode, 0);
    EXPECT_EQ(server->Requests().count("/bootstrap/dns.json"), 1);
    const QStringList cached =
        QDir(cache.path() + "/regiscribe").entryList({"*-dns.json"}, QDir::Files);
    ASSERT_EQ(cached.size(), 1);

    // Two days later the bootstrap server fails; the old copy still names the registry.
    QFile copy(cache.path() + "/regiscribe/" + cached.front());
    ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
    ASSERT_TRUE(copy.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                 QFileDevice::FileModificationTime));
    copy.close();
    QJsonObject routes = QJsonDocument::fromJson(ReadAll(server->Routes())).object();
    routes["/bootstrap/dns.json"] = QJsonObject{{"status", 503}, {"body", "down"}};
    WriteAll(server->Routes(), QJsonDocument(routes).toJson());
    ProcessResult r = Rdap("example.com", {"--no-referral"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(server->Requests().count("/bootstrap/dns.json"), 2);
    EXPECT_TRUE(OutputLines(r.out).contains("Domain Name: EXAMPLE.COM"));
}

TEST_F(RdapCli, HostileAnswersEndInAClearLineWithFlatMemory) {
    // 20 MB of JSON, and a compressed answer of 200 kB that expands to 60 MB: each refused as
    // soon as it passes 10 MB; the program's peak memory stays far below the answer.
    ProcessResult r;
    for (const char* name : {"huge.hostile", "bomb.hostile"}) {
        QElapsedTimer clock;
        clock.start();
        r = RunProgram(
            "/usr/bin/time",
            {"-f", "%M", REGISCRIBE_CLI, "rdap", name, "--bootstrap", server->Bootstrap()},
            QString(), {}, 60000);
        EXPECT_LT(clock.elapsed(), 10000) << name; // long before the 15 seconds of the request
        EXPECT_EQ(r.exitCode, 1) << name;
        const QStringList err = OutputLines(r.err);
        ASSERT_GE(err.size(), 2) << r.err.toStdString();
        EXPECT_EQ(err.front(), "The answer is larger than 10 MB.") << name;
        if (!SanitizedBuild) {
            EXPECT_LT(err.last().toInt(), 80 * 1024) << name << ": peak KiB";
        }
    }

    // A compressed answer that cannot be expanded is told as such, not as broken JSON.
    r = Rdap("damaged.hostile");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(OutputLines(r.err).value(0), "The server's compressed answer is damaged.")
        << r.err.toStdString();

    for (const char* name : {"deep.hostile", "invalid.hostile"}) {
        r = Rdap(name);
        EXPECT_EQ(r.exitCode, 1) << name;
        EXPECT_TRUE(r.err.startsWith("The RDAP server's answer is not valid JSON")) << name;
    }

    // A field of the wrong type is left out; what is usable still shows (a lone string where a
    // list belongs, a name given as a one-item list).
    r = Rdap("vcard.hostile");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(Answer(r.out), (QStringList{"Status: active", "Billing Name: Billing Person",
                                          "Registrar: x", "", "not a list"}));

    // The registrar's server resets the connection: the registry's part stays, with a line.
    r = Rdap("resetref.hostile");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = OutputLines(r.out);
    EXPECT_TRUE(lines.contains("Domain Name: resetref.hostile"));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[lines.size() - 2],
              "Registrar's answer (" + Url("/reset/domain/resetref.hostile") + "):");
    EXPECT_FALSE(lines.last().isEmpty());
}

TEST_F(RdapCli, JsonPrintsEachAnswerAsReceived) {
    ProcessResult r = Rdap("example.com", {"--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList documents = OutputLines(r.out);
    ASSERT_EQ(documents.size(), 2);
    EXPECT_EQ(QJsonDocument::fromJson(documents[0].toUtf8()).object().value("ldhName"),
              "EXAMPLE.COM");
    EXPECT_EQ(QJsonDocument::fromJson(documents[1].toUtf8()).object().value("ldhName"),
              "example.com");
}
