// F1 help: the focused control's topic, or its nearest enclosing control's, or nothing; and the
// help pages themselves.
#include "app/ui/form1.h"
#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "app/ui/smtpsu.h"
#include "support/ui/formdriver.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {
void CloseHelp() {
    if (HelpWindow()) HelpWindow()->close();
    QCoreApplication::processEvents();
}

// Presses F1 with `control` focused; the topic page shown afterwards, or an empty URL.
QUrl PressF1On(QWidget* window, QWidget* control) {
    CloseHelp();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    control->setFocus();
    QCoreApplication::processEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    return HelpWindow() && HelpWindow()->isVisible() ? HelpWindow()->Page() : QUrl();
}

QString PageText(const QUrl& url) {
    QFile file(":" + url.path());
    if (!file.open(QIODevice::ReadOnly)) return QString();
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(file.readAll()));
    return doc.toPlainText();
}
} // namespace

TEST(Help, TopicTableGivesEachFieldItsTopic) {
    const std::pair<const char*, int> samples[] = {
        {"AuthScheme", 1000},       {"ContactAuthenticationInfo", 1000},
        {"OZipEdit", 1002},         {"BStateEdit", 1002},
        {"HCCity", 1002},           {"ContactZip", 1002},
        {"TAddrEdit", 1003},        {"ContactAddr", 1003},
        {"AMailEdit", 1004},        {"HCFax", 1005},
        {"Contactname", 1006},      {"BNameEdit", 1006},
        {"HCNicHandle", 1007},      {"ContactOrgName", 1008},
        {"TPhoneEdit", 1009},       {"OCountryEdit", 1012},
        {"ContactCountry", 1012},   {"DomainNameEdit", 1014},
        {"HostIPAddress", 1015},    {"HostName", 1016},
        {"HostNicHandle", 1017},    {"fourthnsedit", 1019},
        {"SecNSIPEdit", 1020},      {"DeleteContactRadio", 1021},
        {"NewDomainRadio", 1021},   {"ContactNotifyUpdates", 1022},
        {"ContactNotifyUse", 1023}, {"OAddrEdit", 1024},
        {"OOrgNameEdit", 1025},     {"PublicNoRadio", 1026},
        {"PurposeEdit", 1027},      {"ARoleEdit", 1028},
        {"ContactRole", 1028},
    };
    for (auto [name, topic] : samples)
        EXPECT_EQ(MainWindowHelpTopic(name), topic) << name;
    for (const char* none : {"OOrgEdit", "BitBtn1", "status", "Memo2", "OCityEditLabel"})
        EXPECT_EQ(MainWindowHelpTopic(none), 0) << none;
}

TEST(Help, F1OpensTheFocusedControlsTopic) {
    TForm1 form;
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("OOrgNameEdit")), HelpTopicUrl(1025));
    form.Control<QTabWidget>("PageControl1")->setCurrentIndex(1);
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("HostIPAddress")), HelpTopicUrl(1015));
    // A memo lets F1 through to the window as well.
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("PurposeEdit")), HelpTopicUrl(1027));
    // In a box the focus sits in its line edit: the box is the nearest control with a topic.
    form.Control<QTabWidget>("PageControl1")->setCurrentIndex(2);
    auto* notify = form.Control<QComboBox>("ContactNotifyUse");
    EXPECT_EQ(PressF1On(&form, notify->lineEdit()), HelpTopicUrl(1023));
    CloseHelp();
}

TEST(Help, F1UsesTheNearestEnclosingTopicOrOpensNothing) {
    TForm1 form;
    QWidget* panel = form.Control<QWidget>("DomainReviewPanel");
    ASSERT_NE(panel, nullptr);
    QWidget* send = form.Control<QWidget>("BitBtn1");
    form.Control<QTabWidget>("PageControl2")->setCurrentIndex(6);
    EXPECT_EQ(PressF1On(&form, send), QUrl());
    EXPECT_TRUE(!HelpWindow() || !HelpWindow()->isVisible());
    SetHelpTopic(panel, 1027);
    EXPECT_EQ(HelpTopicFor(send), 1027);
    EXPECT_EQ(PressF1On(&form, send), HelpTopicUrl(1027));
    // The control's own topic wins over its parent's.
    SetHelpTopic(send, 1021);
    EXPECT_EQ(PressF1On(&form, send), HelpTopicUrl(1021));
    CloseHelp();
    // A topic the help file does not have opens nothing.
    EXPECT_FALSE(ShowHelpTopic(4711));
    EXPECT_TRUE(!HelpWindow() || !HelpWindow()->isVisible());
}

TEST(Help, SetupDialogEditsOpenTopic1031AndItsButtonsNothing) {
    TSetupDlg dialog;
    for (QLineEdit* edit :
         {dialog.ServerEdit, dialog.UserAddressEdit, dialog.UserNameEdit, dialog.mailto})
        EXPECT_EQ(PressF1On(&dialog, edit), HelpTopicUrl(1031)) << edit->objectName().toStdString();
    EXPECT_EQ(HelpTopicFor(dialog.OKButton), 0);
    EXPECT_EQ(HelpTopicFor(dialog.CancelButton), 0);
    CloseHelp();
}

TEST(Help, EscapeClosesTheHelpWindow) {
    TForm1 form;
    ASSERT_EQ(PressF1On(&form, form.Control<QWidget>("DomainNameEdit")), HelpTopicUrl(1014));
    THelpWindow* help = HelpWindow();
    help->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(!HelpWindow() || !HelpWindow()->isVisible());
}

TEST(Help, F1OnTheAddedControlsOpensTheirTopics) {
    TForm1 form;
    form.Control<QTabWidget>("PageControl1")->setCurrentWidget(form.Control<QWidget>("WhoIsSheet"));
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("bRdap")), HelpTopicUrl(RdapHelpTopic));
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("cbFollow")),
              HelpTopicUrl(FollowReferralsHelpTopic));
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("tDomain")),
              HelpTopicUrl(WhoisLookupHelpTopic));
    EXPECT_EQ(PressF1On(&form, form.Control<QComboBox>("cbWhoisServer")->lineEdit()),
              HelpTopicUrl(WhoisLookupHelpTopic));
    CloseHelp();
}

TEST(Help, EveryTopicHasARealPageListedOnTheContentsPage) {
    QSet<int> topics{1031, MailSecurityHelpTopic, KeyringHelpTopic, SigningHelpTopic};
    TForm1 form;
    for (QWidget* w : form.findChildren<QWidget*>())
        if (int topic = HelpTopicFor(w)) topics.insert(topic);
    // The described topics, the Mail Security dialog's, the keyring's and signing's, the WhoIs
    // page's look-up, RDAP and referrals, the main window's crypt, name-server check, first start
    // and clear buttons, Sent Registrations with its replies, and the Database Objects page's two.
    EXPECT_EQ(topics.size(), 39);
    const QString contents = PageText(HelpContentsUrl());
    ASSERT_FALSE(contents.isEmpty());
    QFile contentsFile(":" + HelpContentsUrl().path());
    ASSERT_TRUE(contentsFile.open(QIODevice::ReadOnly));
    const QString contentsHtml = QString::fromUtf8(contentsFile.readAll());
    for (int topic : topics) {
        const QString text = PageText(HelpTopicUrl(topic));
        EXPECT_GT(text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).size(), 20)
            << "topic " << topic;
        EXPECT_TRUE(contentsHtml.contains(QString("topic%1.html").arg(topic))) << topic;
    }
}

TEST(Help, F1InAModalDialogShowsHelpAboveItUsable) {
    TForm1 form;
    form.show();
    bool aboveTheDialog = false, usable = false;
    WhenModal::Next<TSetupDlg>([&](TSetupDlg& setup) {
        setup.ServerEdit->setFocus();
        QTest::keyClick(setup.ServerEdit, Qt::Key_F1);
        THelpWindow* help = HelpWindow();
        if (help && help->isVisible()) {
            aboveTheDialog = help->parentWidget() == &setup && help->isWindow();
            // A window the modal dialog blocks would not take the focus.
            help->activateWindow();
            usable = QTest::qWaitForWindowActive(help) && !help->testAttribute(Qt::WA_Disabled);
            EXPECT_EQ(help->Page(), HelpTopicUrl(1031));
        }
        setup.reject();
    });
    form.findChild<QAction*>("Setup2")->trigger();
    EXPECT_TRUE(aboveTheDialog);
    EXPECT_TRUE(usable);
    // The dialog is gone; Help from the main window is a window of its own again.
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("DomainNameEdit")), HelpTopicUrl(1014));
    EXPECT_EQ(HelpWindow()->parentWidget(), nullptr);
    CloseHelp();
}

TEST(Help, F1OnTheClearAndCheckButtonsOpensTheirTopics) {
    TForm1 form;
    form.Control<QTabWidget>("PageControl2")
        ->setCurrentWidget(form.Control<QWidget>("DomainNameServersSheet"));
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("CheckNSButton")),
              HelpTopicUrl(NameServerCheckHelpTopic));
    EXPECT_EQ(PressF1On(&form, form.Control<QWidget>("BitBtn3")), HelpTopicUrl(ClearUndoHelpTopic));
    CloseHelp();
}

TEST(Help, TheLinkTheKeyboardIsOnIsNamedForScreenReaders) {
    ShowHelpContents();
    THelpWindow* help = HelpWindow();
    ASSERT_TRUE(help);
    help->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    auto* text = help->findChild<QTextBrowser*>("HelpText");
    ASSERT_TRUE(text);
    text->setFocus();
    EXPECT_TRUE(text->accessibleDescription().isEmpty());
    // The first link of the contents page is the first topic's.
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_EQ(text->accessibleDescription(), "Link: Authorization and authentication schemes");
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_EQ(text->accessibleDescription(), "Link: City, state and postal code");
    CloseHelp();
}
