// Passing through a selector or a name box (clicking into it, tabbing out, pressing Enter) is not
// an edit and not a pick: no reaction runs, no record is loaded, and no item counts as selected.
#include "support/tempdir.h"
#include "support/ui/formdriver.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace {
QStringList TemplateLines(const QString& folder, const QString& name) {
    return QString::fromUtf8(ReadAll(QDir::current().filePath(folder + "/" + name + ".txt")))
        .split("\r\n");
}

// The line of a template that starts with `label`, or a note that there is none.
QString LineStarting(const QStringList& lines, const QString& label) {
    for (const QString& line : lines)
        if (line.startsWith(label)) return line;
    return "<no line " + label + ">";
}

// Into the box with the mouse, out again with Tab; then in again and Enter, and out.
void PassThrough(FormDriver& d, const QString& box) {
    d.ClickInto(box);
    d.PressKey(Qt::Key_Tab);
    d.ClickInto(box);
    d.PressKey(Qt::Key_Return);
    d.PressKey(Qt::Key_Enter);
    d.PressKey(Qt::Key_Tab);
}
} // namespace

TEST(PassThroughUi, ARestoredCryptPwSchemeStaysClosedAndUnpicked) {
    SettingsFileForTest settings(
        "[DomainReg]\r\nAuthScheme=CRYPT-PW\r\n[HostReg]\r\nHostAuthScheme=CRYPT-PW\r\n");
    FormDriver d;
    PassThrough(d, "AuthScheme");
    PassThrough(d, "HostAuthScheme");
    for (const char* info : {"AuthInfoEdit", "HostAuthInfo"}) {
        EXPECT_FALSE(d.IsOpen(info)) << info;
        EXPECT_EQ(d.Caption(QString(info) + "Label"), "Authorization Info") << info;
    }

    d.Type("DomainNameEdit", "example.com");
    d.Click("ShowForm");
    EXPECT_EQ(LineStarting(TemplateLines("domains", "example.com"), "0b."),
              "0b. Auth Scheme................: ");
    d.Type("HostName", "ns1.example.com");
    d.Click("HostShowForm");
    EXPECT_EQ(LineStarting(TemplateLines("hosts", "ns1.example.com"), "0b."),
              "0b. Auth Scheme.................: ");
}

TEST(PassThroughUi, ContactBoxesShowingListItemsCountAsPickedOnlyWhenPicked) {
    SettingsFileForTest settings("[ContactReg]\r\nContactNotifyUpdates=NOT-CARE\r\n"
                                 "ContactNotifyUse=BEFORE-USE\r\n"
                                 "ContactAuthenticationType=PGP\r\n");
    FormDriver d;
    for (const char* box :
         {"ContactNotifyUpdates", "ContactNotifyUse", "ContactAuthenticationType"})
        PassThrough(d, box);
    EXPECT_EQ(d.Caption("ContactAuthenticationInfoLabel"), "E-Mail Address");
    d.Type("Contactname", "Jane Roe");
    d.Click("ContactShowForm");
    QStringList lines = TemplateLines("contacts", "Jane Roe");
    EXPECT_EQ(LineStarting(lines, "2a."), "2a. Notify Updates..........: ");
    EXPECT_EQ(LineStarting(lines, "2b."), "2b. Notify Use..............: ");
    EXPECT_EQ(LineStarting(lines, "3a."), "3a. Auth Scheme.............: ");

    // A pick from the open list, and an arrow key on the closed box, are picks.
    d.Pick("ContactNotifyUse", "NOT-CARE");
    d.ClickInto("ContactNotifyUpdates");
    d.PressKey(Qt::Key_Down); // no item is selected: Down selects the first
    d.Click("ContactShowForm");
    lines = TemplateLines("contacts", "Jane Roe");
    EXPECT_EQ(LineStarting(lines, "2b."), "2b. Notify Use..............: NOT-CARE");
    EXPECT_EQ(LineStarting(lines, "2a."), "2a. Notify Updates..........: AFTER-UPDATE");
}

TEST(PassThroughUi, ARestoredContactNameDoesNotReloadItsRecordOverTheUsersEdits) {
    ScopedWorkDir folder; // the contact's record and the list lie in the current folder
    QDir().mkdir("contacts");
    WriteAll("contacts/Bob.ini",
             "[ContactReg]\r\nContactOrgName=Stored Org\r\nContactname=Bob\r\n");
    WriteAll("Contacts.cbx", "Alice\r\nBob\r\n");
    SettingsFileForTest settings("[ContactReg]\r\nContactname=Bob\r\n");
    FormDriver d(FormDriver::InCurrentFolder);
    ASSERT_EQ(d.Text("Contactname"), "Bob");
    d.Type("ContactOrgName", "Typed Org");
    PassThrough(d, "Contactname");
    EXPECT_EQ(d.Text("ContactOrgName"), "Typed Org");

    // Picking the name from the list does load it.
    d.Pick("Contactname", "Bob");
    EXPECT_EQ(d.Text("ContactOrgName"), "Stored Org");
}

// "Bob" and "bob" name one record, as they do where file names ignore letter case.
TEST(RecordNamesUi, ANameTypedInAnotherCaseIsTheSameRecord) {
    FormDriver d;
    d.Type("Contactname", "Bob");
    d.Type("ContactOrgName", "Bob's Org");
    d.Click("ContactShowForm");
    EXPECT_EQ(QDir("contacts").entryList(QDir::Files), QStringList({"Bob.ini", "Bob.txt"}));
    d.Click("ContactClear");
    ASSERT_EQ(d.Text("ContactOrgName"), "");

    d.Type("Contactname", "bob");
    EXPECT_EQ(d.Text("ContactOrgName"), "Bob's Org");
    EXPECT_EQ(d.Text("Contactname"), "Bob"); // the stored spelling

    d.Type("DomainNameEdit", "Example.COM");
    d.Type("OOrgNameEdit", "Example Inc.");
    d.Click("ShowForm");
    d.Click("BitBtn2"); // Clear All
    d.Type("DomainNameEdit", "example.com");
    EXPECT_EQ(d.Text("OOrgNameEdit"), "Example Inc.");
    d.Type("OCityEdit", "Springfield");
    d.Click("ShowForm");
    EXPECT_EQ(QDir("domains").entryList(QDir::Files, QDir::Name),
              QStringList({"Example.COM.ini", "Example.COM.txt"}));
    EXPECT_TRUE(ReadAll("domains/Example.COM.ini").contains("OCityEdit=Springfield"));
    EXPECT_EQ(ReadAll("domains.cbx"), "Example.COM\r\n"); // listed once

    // A Delete of "EXAMPLE.com" takes that record's files.
    d.boxes().AnswerNext(true);
    d.Click("DeleteDomainRadio");
    d.Click("BitBtn2");
    d.Type("DomainNameEdit", "EXAMPLE.com");
    d.Click("ShowForm");
    EXPECT_TRUE(QDir("domains").entryList(QDir::Files).isEmpty());
}
