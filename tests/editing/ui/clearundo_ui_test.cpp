// Ctrl+Z right after a Clear or Clear All puts back what it emptied, pressed as the user presses
// it: from the button that cleared, which keeps the focus.
#include "app/ui/statusline.h"
#include "editing/clearall.h"
#include "support/ui/formdriver.h"
#include "templates/ui/windowrecord.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QString StatusOf(FormDriver& d, const char* line) {
    return d.form().Control<TStatusLine>(line)->text();
}

// Presses a button with the keyboard: focus on it, then Space.
void PressWithKeyboard(FormDriver& d, const QString& button) {
    QWidget& b = d.Widget(button);
    ShowSheetOf(b);
    b.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&b, Qt::Key_Space);
}

void PressUndo() {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
}
} // namespace

TEST(ClearUndoUi, ClearAllThenCtrlZGivesBackEveryFieldOfThePageWithItsPick) {
    FormDriver d;
    d.Pick("AuthScheme", "CRYPT-PW");
    QMap<QString, QString> before;
    int n = 0;
    for (const QString& f : ClearAllFields(RecordKind::Domain)) {
        if (f == "AuthScheme") continue;
        // Distinct texts: a restore that puts one field's text into another shows.
        SetFieldText(d.form(), f, QString("v%1-%2").arg(++n).arg(f));
    }
    for (const QString& f : ClearAllFields(RecordKind::Domain))
        before[f] = d.Text(f);
    ASSERT_EQ(before["AuthScheme"], "CRYPT-PW");

    PressWithKeyboard(d, "BitBtn2");
    for (const QString& f : ClearAllFields(RecordKind::Domain))
        ASSERT_EQ(d.Text(f), "") << f.toStdString();
    EXPECT_EQ(StatusOf(d, "status"), "Cleared: Ctrl+Z restores");
    EXPECT_EQ(QApplication::focusWidget(), &d.Widget("BitBtn2"));

    PressUndo();
    for (const QString& f : ClearAllFields(RecordKind::Domain))
        EXPECT_EQ(d.Text(f), before[f]) << f.toStdString();
    EXPECT_EQ(d.form().Control<QComboBox>("AuthScheme")->currentText(), "CRYPT-PW");
    EXPECT_GE(d.form().Control<QComboBox>("AuthScheme")->currentIndex(), 0);
    EXPECT_NE(StatusOf(d, "status"), "Cleared: Ctrl+Z restores");
    // Once restored, a second Ctrl+Z changes nothing.
    SetFieldText(d.form(), "DomainNameEdit", before["DomainNameEdit"]);
    PressUndo();
    EXPECT_EQ(d.Text("OOrgNameEdit"), before["OOrgNameEdit"]);
    EXPECT_TRUE(d.boxes().shown().empty());
}

TEST(ClearUndoUi, EachPageAndEachBlockClearSaysSoOnItsOwnStatusLine) {
    FormDriver d;
    d.Type("HCName", "Jo");
    // Enter presses the focused button in the main window, as Space does.
    QWidget& hostClear = d.Widget("HostCancel");
    ShowSheetOf(hostClear);
    hostClear.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&hostClear, Qt::Key_Return);
    EXPECT_EQ(d.Text("HCName"), "");
    EXPECT_EQ(StatusOf(d, "hoststatus"), "Cleared: Ctrl+Z restores");
    EXPECT_EQ(StatusOf(d, "status"), "status...");
    PressUndo();
    EXPECT_EQ(d.Text("HCName"), "Jo");

    d.Type("PriNSEdit", "ns1.example.com");
    d.Type("SecNSIPEdit", "192.0.2.2");
    PressWithKeyboard(d, "BitBtn3");
    EXPECT_EQ(d.Text("PriNSEdit"), "");
    EXPECT_EQ(StatusOf(d, "status"), "Cleared: Ctrl+Z restores");
    PressUndo();
    EXPECT_EQ(d.Text("PriNSEdit"), "ns1.example.com");
    EXPECT_EQ(d.Text("SecNSIPEdit"), "192.0.2.2");
}

TEST(ClearUndoUi, WorkDoneAfterTheClearIsNeverOverwritten) {
    FormDriver d;
    d.Type("AOrgEdit", "Old Org");
    d.Type("ANameEdit", "Old Name");
    PressWithKeyboard(d, "A8");
    // The user starts over in one of the emptied fields, then comes back to the button.
    d.Type("ANameEdit", "New Name");
    d.Widget("A8").setFocus(Qt::TabFocusReason);
    PressUndo();
    EXPECT_EQ(d.Text("ANameEdit"), "New Name");
    EXPECT_EQ(d.Text("AOrgEdit"), "");

    // The latest clear is the one undone.
    d.Type("TNameEdit", "Tech");
    PressWithKeyboard(d, "A8");
    PressWithKeyboard(d, "T8");
    PressUndo();
    EXPECT_EQ(d.Text("TNameEdit"), "Tech");
    EXPECT_EQ(d.Text("ANameEdit"), "");
}
