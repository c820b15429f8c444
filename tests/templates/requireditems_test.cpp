#include "templates/requireditems.h"

#include <gtest/gtest.h>

TEST(RequiredItems, EachNamesItsFieldsTemplateLine) {
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact}) {
        const std::vector<RequiredItem> items = RequiredItems(kind, "N");
        EXPECT_FALSE(items.empty());
        for (const RequiredItem& required : items) {
            const FieldInfo* field = FindField(required.control);
            ASSERT_NE(field, nullptr) << required.control.toStdString();
            // "3a. Organization Name" is the field of template line 3a.
            EXPECT_EQ(required.item.section(". ", 0, 0), field->line)
                << required.item.toStdString();
        }
    }
}

TEST(RequiredItems, ANewDomainHoldingOnlyItsNameLacksTheOrganizationContactsAndServers) {
    Record domain = EmptyRecord(RecordKind::Domain);
    domain.text["DomainNameEdit"] = "example.com";
    domain.text["OOrgNameEdit"] = "Example Inc";
    domain.text["AMailEdit"] = "  "; // blanks are empty
    const QStringList empty = EmptyRequiredItems(domain);
    EXPECT_EQ(empty.size(), 13);
    EXPECT_FALSE(empty.contains("3a. Organization Name"));
    EXPECT_EQ(empty.first(), "3b. Street Address");
    EXPECT_TRUE(empty.contains("4l. E-Mailbox"));
    EXPECT_EQ(empty.last(), "8b. Secondary Server Netaddress");

    // The registry holds a record to modify or delete: its name is enough.
    for (const char* action : {"M", "D"}) {
        domain.action = action;
        EXPECT_TRUE(EmptyRequiredItems(domain).isEmpty()) << action;
    }
}

TEST(RequiredItems, TheNoteCountsOneOrMany) {
    EXPECT_EQ(EmptyRequiredNote({"1c. IP Address"}),
              "This required item is empty; the registry refuses a new registration without "
              "it:\n1c. IP Address");
    EXPECT_EQ(EmptyRequiredNote({"1e. Street Address", "1f. City"}),
              "These required items are empty; the registry refuses a new registration without "
              "them:\n1e. Street Address\n1f. City");
}
