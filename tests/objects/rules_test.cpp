// The checks before mailing on objects made for the purpose: reverse zones on octet and nibble
// boundaries, glue inside and outside the zone, DS digests of every type, AUTO-n handles between
// the objects of one message, and the rules each rule set keeps or drops.
#include "objects/builtinrules.h"
#include "objects/objectcheck.h"
#include "objects/objectmessage.h"
#include "objects/objecttemplate.h"

#include <gtest/gtest.h>

namespace {
class Rules : public ::testing::Test {
protected:
    void SetUp() override {
        const auto ripeTable = BuiltinRules("ripe");
        const auto irrdTable = BuiltinRules("irrd");
        ASSERT_TRUE(ripeTable && irrdTable) << ripeTable.Error().toStdString();
        ripe = ripeTable.Value();
        irrd = irrdTable.Value();
        ripeTest = RegistryNamed("ripe-test").Value();
        radb = RegistryNamed("radb").Value();
    }
    static RpslObject Parsed(const QString& text) {
        const std::vector<RpslObject> objects = ParseObjects(text);
        EXPECT_EQ(objects.size(), 1u);
        return objects.empty() ? RpslObject() : objects.front();
    }
    // A domain object of the given name and name-server lines, otherwise complete.
    static RpslObject Domain(const QString& zone,
                             const QStringList& nservers = {"ns1.example.net", "ns2.example.net"},
                             const QStringList& extra = {}) {
        QString text =
            "domain: " + zone + "\nadmin-c: JD1-TEST\ntech-c: JD1-TEST\nzone-c: JD1-TEST\n";
        for (const QString& n : nservers)
            text += "nserver: " + n + "\n";
        for (const QString& e : extra)
            text += e + "\n";
        return Parsed(text + "mnt-by: JANE-MNT\nsource: TEST\n");
    }
    // The rendered lines of the verdict, in order.
    QStringList Lines(const RpslObject& object, CheckVerdict verdict,
                      ObjectAction action = ObjectAction::Create) const {
        CheckOptions options;
        options.action = action;
        QStringList lines;
        for (const ObjectCheckLine& line : CheckObject(object, ripeTest, *ripe, options))
            if (line.verdict == verdict) lines << line.Rendered();
        return lines;
    }

    std::shared_ptr<const RuleTable> ripe, irrd;
    Registry ripeTest, radb;
};
} // namespace

TEST_F(Rules, ReverseZonesOnOctetAndNibbleBoundariesPass) {
    for (const QString zone : {"2.0.192.in-addr.arpa", "168.192.in-addr.arpa.", "192.in-addr.arpa",
                               "0-63.2.0.192.in-addr.arpa", "64-127.2.0.192.IN-ADDR.ARPA",
                               "8.b.d.0.1.0.0.2.ip6.arpa", "0.8.b.d.0.1.0.0.2.ip6.arpa"})
        EXPECT_TRUE(Lines(Domain(zone), CheckVerdict::Error).isEmpty())
            << zone.toStdString() << ": "
            << Lines(Domain(zone), CheckVerdict::Error).join('\n').toStdString();
}

TEST_F(Rules, ReverseZonesOffTheBoundariesAreRefused) {
    // A /22 written as a range of third octets, the whole /24 as a range, a range that is no
    // range, a fifth octet, and an IPv6 label of two nibbles.
    for (const QString zone :
         {"0-3.2.192.in-addr.arpa", "0-255.2.0.192.in-addr.arpa", "7-7.2.0.192.in-addr.arpa",
          "1.2.2.0.192.in-addr.arpa", "256.0.192.in-addr.arpa", "80.b.d.0.1.0.0.2.ip6.arpa",
          "example.com"}) {
        const QStringList errors = Lines(Domain(zone), CheckVerdict::Error);
        ASSERT_EQ(errors.size(), 1)
            << zone.toStdString() << ": " << errors.join('\n').toStdString();
        EXPECT_TRUE(errors[0].startsWith("error   domain: Syntax error in " + zone + " ("))
            << errors[0].toStdString();
    }
}

TEST_F(Rules, GlueIsRequiredInsideTheZoneAndRefusedOutside) {
    const QString zone = "2.0.192.in-addr.arpa";
    EXPECT_TRUE(Lines(Domain(zone, {"ns1.2.0.192.in-addr.arpa 192.0.2.53",
                                    "ns2.2.0.192.in-addr.arpa. 2001:db8::53"}),
                      CheckVerdict::Error)
                    .isEmpty());
    EXPECT_EQ(
        Lines(Domain(zone, {"ns1.2.0.192.in-addr.arpa", "ns2.example.net"}), CheckVerdict::Error),
        QStringList{"error   nserver: Glue records required if hostname ends with "
                    "2.0.192.in-addr.arpa"});
    EXPECT_EQ(
        Lines(Domain(zone, {"ns1.example.net 192.0.2.53", "ns2.example.net"}), CheckVerdict::Error),
        QStringList{"error   nserver: Glue records only allowed if hostname ends with "
                    "2.0.192.in-addr.arpa"});
    // A host whose name merely ends in the zone's text is not inside it.
    EXPECT_EQ(Lines(Domain(zone, {"ns1.x2.0.192.in-addr.arpa 192.0.2.53", "ns2.example.net"}),
                    CheckVerdict::Error)
                  .size(),
              1);
    EXPECT_EQ(Lines(Domain(zone, {"ns1.2.0.192.in-addr.arpa 192.0.2.0/24", "ns2.example.net"}),
                    CheckVerdict::Error)
                  .size(),
              1);
}

TEST_F(Rules, DsDigestsMustHaveTheirTypesLength) {
    const QString sha1(40, 'a'), sha256(64, 'B'), sha384(96, 'c');
    for (const QString& ds :
         {"12345 13 1 " + sha1, "12345 13 2 " + sha256, "12345 13 3 " + sha256,
          "12345 13 4 " + sha384, "12345 13 2 " + sha256.left(30) + " " + sha256.mid(30)})
        EXPECT_TRUE(Lines(Domain("2.0.192.in-addr.arpa", {"ns1.example.net"}, {"ds-rdata: " + ds}),
                          CheckVerdict::Error)
                        .isEmpty())
            << ds.toStdString();
    for (const QString& ds : {"12345 13 1 " + sha256, "12345 13 2 " + sha1, "12345 13 3 " + sha384,
                              "12345 13 4 " + sha256, "12345 13 2 " + sha256.left(63) + "g",
                              "65536 13 2 " + sha256, QString("12345 13 2")}) {
        const QStringList errors =
            Lines(Domain("2.0.192.in-addr.arpa", {"ns1.example.net"}, {"ds-rdata: " + ds}),
                  CheckVerdict::Error);
        ASSERT_EQ(errors.size(), 1) << ds.toStdString();
        EXPECT_TRUE(errors[0].startsWith("error   ds-rdata: Syntax error in " + ds + " ("));
    }
    // A digest type outside 1 to 4 is no error, but not checked either.
    EXPECT_EQ(Lines(Domain("2.0.192.in-addr.arpa", {"ns1.example.net"}, {"ds-rdata: 1 13 9 abcd"}),
                    CheckVerdict::Warning)
                  .size(),
              1);
}

TEST_F(Rules, AutoHandlesMustNameAnObjectOfTheSameMessage) {
    const RpslObject person = Parsed("person: Jane Doe\naddress: Street\nphone: +31 20 535 4444\n"
                                     "nic-hdl: AUTO-1\nmnt-by: JANE-MNT\nsource: TEST\n");
    const RpslObject mntner = Parsed("mntner: JANE-MNT\nadmin-c: auto-1\ntech-c: AUTO-2\n"
                                     "upd-to: jane@example.net\nauth: PGPKEY-0123ABCD\n"
                                     "mnt-by: JANE-MNT\nsource: TEST\n");
    const ObjectCheckLines lines = CheckMessageReferences({person, mntner}, *ripe);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Rendered(),
              "error   tech-c: AUTO-2 names no object of this message that has the key AUTO-2");
    // IRRd keeps handles as they are written: AUTO-n is refused there.
    const RpslObject irrdPerson =
        Parsed("person: Jane Doe\naddress: Street\nphone: +31 20 535 4444\n"
               "e-mail: jane@example.net\nnic-hdl: AUTO-1\n"
               "mnt-by: JANE-MNT\nsource: RADB\n");
    const ObjectCheckLines irrdLines = CheckObject(irrdPerson, radb, *irrd);
    ASSERT_EQ(irrdLines.size(), 1u);
    EXPECT_EQ(irrdLines[0].Rendered(), "error   nic-hdl: Invalid handle AUTO-1: AUTO-n handles are "
                                       "not taken under IRRd rules");
}

TEST_F(Rules, WhatTheRegistrySetsOrDroppedIsWarnedAndNeverMailed) {
    const RpslObject person = Parsed(QString::fromUtf8(
        "person: Jane Doe\naddress: \u0141\u00f3d\u017a\nphone: +48 42 000 0000\n"
        "nic-hdl: JD1-TEST\nremarks: \u0141\u00f3d\u017a office\nmnt-by: JANE-MNT\n"
        "changed: jane@example.net 20260101\ncreated: 2026-01-01T00:00:00Z\nsource: TEST\n"));
    EXPECT_EQ(
        Lines(person, CheckVerdict::Warning),
        (QStringList{"warning address: holds characters outside Latin-1, which the registry "
                     "converts (only descr and remarks keep them)",
                     "warning changed: no longer kept by the registry: left out of the message",
                     "warning created: set by the registry: left out of the message"}));
    const QStringList mailed = MailedObjectLines({person, ObjectAction::Create, {}}, *ripe);
    EXPECT_EQ(mailed.size(), 7);
    EXPECT_FALSE(mailed.join('\n').contains("changed:"));
    EXPECT_FALSE(mailed.join('\n').contains("created:"));
    // Under IRRd's rules changed: is an attribute like any other.
    const RpslObject irrdPerson = Parsed(
        "person: Jane Doe\naddress: Street\nphone: +31 20 535 4444\ne-mail: jane@example.net\n"
        "nic-hdl: JD1-RADB\nmnt-by: JANE-MNT\nchanged: jane@example.net 20260101\nsource: RADB\n");
    EXPECT_EQ(MailedObjectLines({irrdPerson, ObjectAction::Create, {}}, *irrd).size(), 8);
}

TEST_F(Rules, NewSetsAndMaintainersFollowTheCreationRules) {
    const QString set = "as-set: AS-FLAT\ntech-c: JD1-TEST\nadmin-c: JD1-TEST\nmnt-by: JANE-MNT\n"
                        "source: TEST\n";
    EXPECT_EQ(Lines(Parsed(set), CheckVerdict::Error),
              QStringList{"error   as-set: AS-FLAT must be a hierarchical name (ASn:AS-NAME) when "
                          "the set is created"});
    EXPECT_TRUE(Lines(Parsed(set), CheckVerdict::Error, ObjectAction::Modify).isEmpty());
    const RpslObject deletion = Parsed("mntner: OLD\nadmin-c: JD1-TEST\nupd-to: a@example.net\n"
                                       "auth: PGPKEY-0123ABCD\nmnt-by: OLD\nsource: TEST\n"
                                       "delete: no longer used\n");
    EXPECT_TRUE(Lines(deletion, CheckVerdict::Error).isEmpty())
        << Lines(deletion, CheckVerdict::Error).join('\n').toStdString();
}

TEST_F(Rules, ATemplateHoldsTheMandatoryAttributesInOrderWithTheSource) {
    const RpslObject route = ObjectTemplate(*ripe->Class("route"), ripeTest,
                                            {{"mnt-by", "JANE-MNT"},
                                             {"descr", "first"},
                                             {"descr", "second"},
                                             {"route", "192.0.2.0/24"}});
    EXPECT_EQ(ObjectLines(route),
              (QStringList{"route:          192.0.2.0/24", "descr:          first",
                           "descr:          second", "origin:", "mnt-by:         JANE-MNT",
                           "source:         TEST"}));
}
