// The Setup dialog as designed: size, caption, labels, hints, tab order and buttons.
#include "app/ui/smtpsu.h"

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

TEST(SetupDialog, TabOrderPutsTheDestinationAfterTheButtons) {
    TSetupDlg dialog;
    QList<QWidget*> order;
    QWidget* w = dialog.ServerEdit;
    for (int i = 0; i < 6; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        order << w;
    }
    EXPECT_EQ(order,
              (QList<QWidget*>{dialog.ServerEdit, dialog.UserAddressEdit, dialog.UserNameEdit,
                               dialog.OKButton, dialog.CancelButton, dialog.mailto}));
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
