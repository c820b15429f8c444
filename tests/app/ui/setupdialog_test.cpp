// The Setup dialog as designed: size, caption, labels, hints, tab order and buttons.
#include "app/ui/smtpsu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(SetupDialog, HasItsCaptionSizeEditsAndHints) {
    TSetupDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Setup");
    EXPECT_EQ(dialog.size(), QSize(404, 154));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    dialog.show();
    QCoreApplication::processEvents();
    struct Expect {
        QLineEdit* edit;
        const char* name;
        const char* label;
        const char* hint;
    };
    const Expect edits[] = {
        {dialog.ServerEdit, "ServerEdit", "SMTP Server",
         "Your SMTP Server.  If unsure. look at your e-mail program."},
        {dialog.UserAddressEdit, "UserAddressEdit", "EMail address",
         "Your e-mail address. IMPORTANT.  F1 for details"},
        {dialog.UserNameEdit, "UserNameEdit", "Name", "Your Name"},
        {dialog.mailto, "mailto",
         "Mail Registrations to:", "The address where registrations will be sent."},
    };
    int lastTop = -1;
    for (const Expect& e : edits) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>(e.name), e.edit);
        EXPECT_EQ(e.edit->toolTip(), e.hint);
        auto* label = dialog.findChild<QLabel*>(QString(e.name) + "Label");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), e.label);
        EXPECT_EQ(label->buddy(), e.edit);
        EXPECT_GT(e.edit->y(), lastTop); // stacked top to bottom
        lastTop = e.edit->y();
        EXPECT_EQ(e.edit->width(), dialog.ServerEdit->width());
    }
    for (QLineEdit* e : {dialog.ServerEdit, dialog.UserAddressEdit, dialog.UserNameEdit})
        EXPECT_TRUE(dialog.findChild<QLabel*>(e->objectName() + "Label")->alignment() &
                    Qt::AlignRight);
    EXPECT_EQ(dialog.mailto->text(), kRegistryMailbox);
    EXPECT_EQ(dialog.OKButton->text(), "OK");
    EXPECT_EQ(dialog.CancelButton->text(), "Cancel");
    EXPECT_TRUE(dialog.OKButton->isDefault());
    EXPECT_LT(dialog.OKButton->x(), dialog.CancelButton->x());
    EXPECT_GT(dialog.OKButton->y(), dialog.mailto->y());
}

TEST(SetupDialog, TabGoesThroughTheFieldsTopToBottomThenTheButtons) {
    TSetupDlg dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.ServerEdit->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, (QStringList{"ServerEdit", "UserAddressEdit", "UserNameEdit", "mailto",
                                  "SecurityButton", "OKButton", "CancelButton", "ServerEdit"}));
}

TEST(SetupDialog, EnterPressesTheFocusedButtonAndElsewhereOkTheOneDefault) {
    TSetupDlg dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    int security = 0;
    QObject::connect(dialog.SecurityButton, &QPushButton::clicked, [&] { ++security; });
    int defaults = 0;
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
        defaults += b->isDefault() ? 1 : 0;
        if (b != dialog.OKButton) {
            EXPECT_FALSE(b->autoDefault()) << b->objectName().toStdString();
        }
    }
    EXPECT_EQ(defaults, 1);
    dialog.SecurityButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog.SecurityButton, Qt::Key_Return);
    QTest::keyClick(dialog.SecurityButton, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(security, 2);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.CancelButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog.CancelButton, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.mailto->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog.mailto, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(security, 2);
}

TEST(SetupDialog, OkAcceptsAndEscapeCancels) {
    {
        TSetupDlg dialog;
        dialog.show();
        dialog.OKButton->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    {
        TSetupDlg dialog;
        dialog.show();
        dialog.ServerEdit->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
    }
}
