// The records of objects, as the record store keeps the templates' records: the object's text in
// objects/CLASS/KEY.txt, a name list per class that mailed creations and deletions keep.
#include "objects/builtinrules.h"
#include "objects/objectcheck.h"
#include "objects/objectrecords.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
RpslObject Route() {
    return ParseObjects("route: 192.0.2.0/24\ndescr: first line\n+\n  third line\n"
                        "origin: AS64500\nmnt-by: JANE-MNT\nsource: TEST\n")
        .front();
}
} // namespace

TEST(ObjectRecords, AnObjectIsItsRecordAndComesBackAsItWas) {
    ScopedWorkDir dir;
    const auto rules = BuiltinRules("ripe").Value();
    ASSERT_TRUE(SaveObjectRecord(Route(), *rules));
    // The prefix's "/" cannot stand in a file name.
    EXPECT_EQ(ReadAll(dir.file("objects/route/192.0.2.0_24AS64500.txt")),
              "route:          192.0.2.0/24\r\ndescr:          first line\r\n+\r\n"
              "                third line\r\norigin:         AS64500\r\n"
              "mnt-by:         JANE-MNT\r\nsource:         TEST\r\n");
    const Result<RpslObject> loaded = LoadObjectRecord("route", "192.0.2.0/24AS64500");
    ASSERT_TRUE(loaded) << loaded.Error().toStdString();
    EXPECT_TRUE(loaded.Value() == Route());
    // A record whose name differs only in letter case is the key's.
    ASSERT_TRUE(QDir().mkpath(dir.file("objects/person")));
    WriteAll(dir.file("objects/person/jd1-test.txt"), "person: Jane Doe\nnic-hdl: jd1-test\n");
    EXPECT_EQ(ObjectRecordPath("person", "JD1-TEST").Value(),
              dir.file("objects/person/jd1-test.txt"));
    const Result<RpslObject> person = LoadObjectRecord("person", "JD1-TEST");
    ASSERT_TRUE(person) << person.Error().toStdString();
    EXPECT_EQ(person->First("nic-hdl"), "jd1-test");
    EXPECT_FALSE(ObjectRecordPath("person", ".."));
    EXPECT_FALSE(LoadObjectRecord("person", "XX9-TEST"));
}

TEST(ObjectRecords, TheNameListFollowsMailedCreationsAndDeletions) {
    ScopedWorkDir dir;
    const auto rules = BuiltinRules("ripe").Value();
    ASSERT_TRUE(UpdateObjectNameList("route", "192.0.2.0/24AS64500", ObjectAction::Create));
    ASSERT_TRUE(UpdateObjectNameList("route", "198.51.100.0/24AS64500", ObjectAction::Create));
    ASSERT_TRUE(UpdateObjectNameList("route", "192.0.2.0/24as64500", ObjectAction::Create));
    ASSERT_TRUE(UpdateObjectNameList("route", "203.0.113.0/24AS64500", ObjectAction::Modify));
    EXPECT_EQ(ReadAll(dir.file("objects/route.cbx")),
              "192.0.2.0/24AS64500\r\n198.51.100.0/24AS64500\r\n");
    ASSERT_TRUE(SaveObjectRecord(Route(), *rules));
    ASSERT_TRUE(UpdateObjectNameList("route", "192.0.2.0/24AS64500", ObjectAction::Delete));
    EXPECT_EQ(ReadAll(dir.file("objects/route.cbx")), "198.51.100.0/24AS64500\r\n");
    EXPECT_FALSE(QFile::exists(dir.file("objects/route/192.0.2.0_24AS64500.txt")));
    EXPECT_EQ(ObjectNames("route").Value(), QStringList{"198.51.100.0/24AS64500"});
    EXPECT_EQ(ObjectNames("person").Value(), QStringList());
}
