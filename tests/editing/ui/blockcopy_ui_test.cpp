#include "editing/blockcopy.h"
#include "editing/ui/formfields.h"
#include "support/ui/formdriver.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {
// Distinct text in every field of the four blocks, typed by the user.
void FillBlocks(FormDriver& d) {
    for (Block b : {Block::Org, Block::Admin, Block::Technical, Block::Billing})
        for (const QString& field : BlockFields(b))
            d.Type(field, field.endsWith("RoleEdit") ? "R" : field.left(2));
}

QStringList Texts(FormDriver& d, const QStringList& fields) {
    QStringList texts;
    for (const QString& f : fields)
        texts << d.Text(f);
    return texts;
}

QStringList AllBlockTexts(FormDriver& d) {
    QStringList texts;
    for (Block b : {Block::Org, Block::Admin, Block::Technical, Block::Billing})
        texts << Texts(d, BlockFields(b));
    return texts;
}
} // namespace

TEST(BlockCopyUi, CopyToAllFromAnEmptyOrgEmptiesOnlyTheContactsAddresses) {
    FormDriver d;
    FillBlocks(d);
    d.Click("O8"); // Clear
    EXPECT_EQ(Texts(d, BlockFields(Block::Org)), QStringList(6, QString()));
    d.Click("O4"); // Copy to ALL
    for (const char* letter : {"A", "T", "B"}) {
        const QString l = letter;
        for (const char* stem : {"Org", "Addr", "City", "State", "Zip", "Country"})
            EXPECT_EQ(d.Text(l + stem + "Edit"), "") << letter << stem;
        EXPECT_EQ(d.Text(l + "HandleEdit"), l + "H");
        EXPECT_EQ(d.Text(l + "RoleEdit"), "R");
        EXPECT_EQ(d.Text(l + "NameEdit"), l + "N");
        EXPECT_EQ(d.Text(l + "PhoneEdit"), l + "P");
        EXPECT_EQ(d.Text(l + "FaxEdit"), l + "F");
        EXPECT_EQ(d.Text(l + "MailEdit"), l + "M");
    }
}

TEST(BlockCopyUi, CopyFromTechOnBillingEqualsCopyToBillingOnTechnical) {
    FormDriver from, to;
    FillBlocks(from);
    FillBlocks(to);
    from.Click("BitBtn32"); // Billing: Copy From Tech
    to.Click("T3");         // Technical: Copy to Billing
    EXPECT_EQ(AllBlockTexts(from), AllBlockTexts(to));
    EXPECT_EQ(Texts(from, BlockFields(Block::Billing)), Texts(from, BlockFields(Block::Technical)));
    EXPECT_EQ(from.Text("BOrgEdit"), "TO");
}

TEST(BlockCopyUi, CopyToAllFromAdminAlsoOverwritesTheOrgBlock) {
    FormDriver d;
    FillBlocks(d);
    d.Click("A4");
    EXPECT_EQ(Texts(d, BlockFields(Block::Org)), QStringList({"AO", "AA", "AC", "AS", "AZ", "AC"}));
    EXPECT_EQ(Texts(d, BlockFields(Block::Technical)), Texts(d, BlockFields(Block::Admin)));
    EXPECT_EQ(Texts(d, BlockFields(Block::Billing)), Texts(d, BlockFields(Block::Admin)));
}

TEST(BlockCopyUi, CopiedTextIsNotHeldToTheTargetsTypingLimit) {
    FormDriver d;
    // A record loaded from a file may hold more than the user could type.
    PlaceFieldText(d.form(), "ACountryEdit", "USA");
    PlaceFieldText(d.form(), "ARoleEdit", "Role");
    d.Type("TCountryEdit", "GBR"); // typing stops at two characters
    EXPECT_EQ(d.Text("TCountryEdit"), "GB");
    d.Click("A2"); // Admin: Copy to Tech
    EXPECT_EQ(d.Text("TCountryEdit"), "USA");
    EXPECT_EQ(d.Text("TRoleEdit"), "Role");
    d.Click("O5"); // Org: Copy From Admin
    EXPECT_EQ(d.Text("OCountryEdit"), "USA");
}

TEST(BlockCopyUi, ClearButtonsEmptyTheirOwnBlockOnly) {
    FormDriver d;
    FillBlocks(d);
    for (const char* f : {"PriNSEdit", "PriNSIPEdit", "fourthnsedit", "fourthnsipedit"})
        d.Type(f, "1.2.3.4");
    d.Type("DomainNameEdit", "example.com");
    d.Click("BitBtn3"); // Name Servers: Clear
    EXPECT_EQ(Texts(d, NameServerFields()), QStringList(8, QString()));
    d.Click("T8");
    EXPECT_EQ(Texts(d, BlockFields(Block::Technical)), QStringList(12, QString()));
    EXPECT_EQ(d.Text("AHandleEdit"), "AH");
    EXPECT_EQ(d.Text("BMailEdit"), "BM");
    EXPECT_EQ(d.Text("OOrgNameEdit"), "OO");
    EXPECT_EQ(d.Text("DomainNameEdit"), "example.com");
    EXPECT_TRUE(d.boxes().shown().empty());
}
