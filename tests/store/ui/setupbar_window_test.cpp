// The bar that points a first start to Setup: shown while no mail server is set, gone once one is.
#include "app/ui/smtpsu.h"
#include "support/ui/formdriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

TEST(SetupBar, AFirstStartIsToldToSetUpAndTheBarsButtonOpensSetup) {
    FormDriver d; // no settings file
    QWidget& bar = d.Widget("SetupBar");
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(d.form().findChild<QLabel*>("SetupBarText")->text(),
              "Set up your mail server before mailing: File > Setup...");
    auto* pages = d.form().Control<QTabWidget>("PageControl1");
    // Above the pages, which keep their whole size: the window grows instead.
    EXPECT_LT(bar.mapTo(&d.form(), QPoint()).y(), pages->mapTo(&d.form(), QPoint()).y());
    const int grown = d.form().height();
    EXPECT_GE(grown, pages->height() + bar.height() + d.form().menuBar()->height());

    bool setupOpened = false;
    WhenModal::Next<TSetupDlg>([&](TSetupDlg& setup) {
        setupOpened = true;
        setup.ServerEdit->setFocus();
        TypeText(setup.ServerEdit, "mail.example.test");
        QTest::keyClick(setup.ServerEdit, Qt::Key_Return);
    });
    // The bar's button, pressed with the keyboard.
    auto* button = d.form().findChild<QPushButton*>("SetupBarButton");
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_TRUE(setupOpened);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_LT(d.form().height(), grown);
    EXPECT_EQ(pages->height(), 384);
}

TEST(SetupBar, ASettingsFileWithAServerShowsNoBar) {
    SettingsFileForTest settings("[Setup]\r\nServer=mail.example.test\r\n");
    FormDriver d(FormDriver::InCurrentFolder);
    EXPECT_FALSE(d.Widget("SetupBar").isVisible());
}
