#include "templates/recordmodel.h"

#include <QSet>
#include <gtest/gtest.h>

TEST(RecordModel, EveryKindListsEachControlOnceWithItsTemplateLine) {
    const std::pair<RecordKind, size_t> kinds[] = {
        {RecordKind::Domain, 10 + 36 + 8}, {RecordKind::Host, 17}, {RecordKind::Contact, 18}};
    QSet<QString> all;
    for (auto [kind, count] : kinds) {
        EXPECT_EQ(RecordFields(kind).size(), count);
        for (const FieldInfo& f : RecordFields(kind)) {
            EXPECT_FALSE(all.contains(f.control)) << f.control.toStdString();
            all.insert(f.control);
            EXPECT_FALSE(f.line.isEmpty()) << f.control.toStdString();
        }
    }
    EXPECT_EQ(FindField("BMailEdit")->line, "6l");
    EXPECT_EQ(FindField("ARoleEdit")->limit, 1);
    EXPECT_EQ(FindField("TCountryEdit")->limit, 2);
    EXPECT_EQ(FindField("fourthnsipedit")->limit, 15);
    EXPECT_EQ(FindField("ContactCountry")->limit, 0);
    EXPECT_EQ(FindField("Contactname")->type, FieldType::NameBox);
    EXPECT_EQ(FindField("nothing"), nullptr);
}

TEST(RecordModel, SelectorsCarryTheirFixedLists) {
    EXPECT_EQ(SelectorItems("HostAuthScheme"), QStringList({"MAIL-FROM", "CRYPT-PW", "PGP"}));
    EXPECT_EQ(SelectorItems("ContactNotifyUse"),
              QStringList({"AFTER-USE", "BEFORE-USE", "NOT-CARE"}));
    EXPECT_EQ(SelectorItems("ContactNotifyUpdates").first(), "AFTER-UPDATE");
    EXPECT_TRUE(SelectorItems("HostName").isEmpty());
}

TEST(RecordModel, ActionCodeTakesTheLastCheckedButton) {
    EXPECT_EQ(ActionCode(true, false, false), "N");
    EXPECT_EQ(ActionCode(true, true, false), "M");
    EXPECT_EQ(ActionCode(true, true, true), "D");
    EXPECT_EQ(ActionCode(false, false, false), "");
    EXPECT_EQ(PublicFlag(true, true), "N");
    EXPECT_EQ(PublicFlag(false, false), "");
}

TEST(RecordModel, RecordNamesThatLeaveTheFolderOrSplitAListAreRefused) {
    EXPECT_TRUE(IsSafeRecordName("example.com"));
    EXPECT_TRUE(IsSafeRecordName("John Smith"));
    EXPECT_TRUE(IsSafeRecordName("...")); // "domains/....txt" is a plain file in the folder
    // "." and ".." name folders, not records.
    EXPECT_FALSE(IsSafeRecordName("."));
    EXPECT_FALSE(IsSafeRecordName(".."));
    EXPECT_FALSE(IsSafeRecordName("../../x"));
    EXPECT_FALSE(IsSafeRecordName("a\nb"));
    EXPECT_FALSE(IsSafeRecordName("a\rb"));
    EXPECT_FALSE(IsSafeRecordName(QString("a") + QChar(0) + "b"));
    // A tab or an escape would split a log line or reach a terminal.
    EXPECT_FALSE(IsSafeRecordName("a\tb"));
    EXPECT_FALSE(IsSafeRecordName("a\x1b[2Jb"));
    EXPECT_FALSE(IsSafeRecordName(QString("a") + QChar(0x85) + "b"));
}
