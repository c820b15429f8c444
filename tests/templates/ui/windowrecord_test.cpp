// Reading a record from the window, and placing texts from program code.
#include "app/ui/form1.h"
#include "support/ui/formdriver.h"
#include "templates/ui/windowrecord.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(WindowRecord, ReadsEveryFieldOfEachKindByItsControl) {
    TForm1 form;
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact}) {
        for (const FieldInfo& f : RecordFields(kind))
            SetFieldText(form, f.control, f.control + " value");
        const Record r = ReadRecord(form, kind);
        EXPECT_EQ(r.kind, kind);
        EXPECT_EQ(r.text.size(), qsizetype(RecordFields(kind).size()));
        for (const FieldInfo& f : RecordFields(kind))
            EXPECT_EQ(r.Text(f.control), f.control + " value") << f.control.toStdString();
        EXPECT_EQ(r.Name(), NameBoxControl(kind) + " value");
    }
}

TEST(WindowRecord, SelectorGivesItsItemOnlyOnceTheUserPickedOne) {
    TForm1 form;
    SetFieldText(form, "AuthScheme", "MAIL-FROM");
    Record r = ReadRecord(form, RecordKind::Domain);
    EXPECT_EQ(r.Text("AuthScheme"), "MAIL-FROM");
    EXPECT_EQ(r.Selected("AuthScheme"), "");
    // The user picks the second item.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* box = form.Control<QComboBox>("AuthScheme");
    PickFromList(*box, "CRYPT-PW");
    r = ReadRecord(form, RecordKind::Domain);
    EXPECT_EQ(r.Text("AuthScheme"), "CRYPT-PW");
    EXPECT_EQ(r.Selected("AuthScheme"), "CRYPT-PW");
    // Typing something else leaves no item selected, as in the design.
    box->lineEdit()->setFocus();
    box->lineEdit()->end(false);
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    r = ReadRecord(form, RecordKind::Domain);
    EXPECT_EQ(r.Text("AuthScheme"), "CRYPT-P");
    EXPECT_EQ(r.Selected("AuthScheme"), "");
    EXPECT_EQ(box->currentIndex(), -1);
}

TEST(WindowRecord, ProgramTextKeepsTheSelectionOnlyWhenItMatches) {
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* box = form.Control<QComboBox>("ContactNotifyUse");
    PickFromList(*box, "NOT-CARE");
    SetFieldText(form, "ContactNotifyUse", "NOT-CARE");
    EXPECT_EQ(ReadRecord(form, RecordKind::Contact).Selected("ContactNotifyUse"), "NOT-CARE");
    SetFieldText(form, "ContactNotifyUse", "");
    const Record r = ReadRecord(form, RecordKind::Contact);
    EXPECT_EQ(r.Text("ContactNotifyUse"), "");
    EXPECT_EQ(r.Selected("ContactNotifyUse"), "");
    EXPECT_EQ(box->count(), 3); // the list stays as it is
}

TEST(WindowRecord, ProgramTextIsNotCutToTheTypingLimit) {
    TForm1 form;
    SetFieldText(form, "OCountryEdit", "Deutschland");
    SetFieldText(form, "ARoleEdit", "Role");
    SetFieldText(form, "PriNSIPEdit", "2001:db8::53 (six)");
    const Record r = ReadRecord(form, RecordKind::Domain);
    EXPECT_EQ(r.Text("OCountryEdit"), "Deutschland");
    EXPECT_EQ(r.Text("ARoleEdit"), "Role");
    EXPECT_EQ(r.Text("PriNSIPEdit"), "2001:db8::53 (six)");
}

TEST(WindowRecord, MemoLinesAreReadWithCrLf) {
    TForm1 form;
    SetFieldText(form, "PurposeEdit", "Web site\r\nand mail");
    EXPECT_EQ(form.Control<QPlainTextEdit>("PurposeEdit")->toPlainText(), "Web site\nand mail");
    EXPECT_EQ(ReadRecord(form, RecordKind::Domain).Text("PurposeEdit"), "Web site\r\nand mail");
    SetFieldText(form, "PurposeEdit", "one\ntwo");
    EXPECT_EQ(FieldText(form, "PurposeEdit"), "one\r\ntwo");
}

TEST(WindowRecord, ProgramTextRunsNoChangeReaction) {
    TForm1 form;
    int reactions = 0;
    auto* box = form.Control<QComboBox>("DomainNameEdit");
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, [&] { ++reactions; });
    QObject::connect(box, &QComboBox::textActivated, [&] { ++reactions; });
    QObject::connect(form.Control<QLineEdit>("HostIPAddress"), &QLineEdit::textEdited,
                     [&] { ++reactions; });
    SetFieldText(form, "DomainNameEdit", "example.com");
    SetFieldText(form, "HostIPAddress", "192.0.2.1");
    EXPECT_EQ(reactions, 0);
    EXPECT_EQ(FieldText(form, "DomainNameEdit"), "example.com");
}

TEST(WindowRecord, ActionCodeAndPublicFlagFollowTheRadios) {
    TForm1 form;
    struct Case {
        RecordKind kind;
        const char* radio;
        const char* code;
    };
    const Case cases[] = {
        {RecordKind::Domain, "ModifyDomainRadio", "M"},
        {RecordKind::Domain, "NewDomainRadio", "N"},
        {RecordKind::Host, "ModifyHostRadio", "M"},
        {RecordKind::Host, "NewHostRadio", "N"},
        {RecordKind::Contact, "ModifyContactRadio", "M"},
    };
    for (const Case& c : cases) {
        form.Control<QRadioButton>(c.radio)->setChecked(true);
        EXPECT_EQ(ReadRecord(form, c.kind).action, c.code) << c.radio;
    }
    EXPECT_EQ(ReadRecord(form, RecordKind::Domain).publicFlag, "");
    EXPECT_EQ(ReadRecord(form, RecordKind::Contact).publicFlag, "N");
    form.Control<QRadioButton>("PublicYesRadio")->setChecked(true);
    EXPECT_EQ(ReadRecord(form, RecordKind::Contact).publicFlag, "Y");
    // No radio checked: no code.
    auto* modify = form.Control<QRadioButton>("ModifyContactRadio");
    modify->setAutoExclusive(false);
    modify->setChecked(false);
    EXPECT_EQ(ReadRecord(form, RecordKind::Contact).action, "");
}

TEST(WindowRecord, UnknownControlsAreIgnored) {
    TForm1 form;
    SetFieldText(form, "NoSuchField", "x");
    SetFieldText(form, "BitBtn1", "x"); // a button is no field
    EXPECT_EQ(FieldText(form, "NoSuchField"), "");
    EXPECT_EQ(FieldControl(form, "BitBtn1"), nullptr);
}
