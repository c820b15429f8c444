// The name-server check in the window, against real name servers: the Check button's window with
// its lines, Copy and Close; a slow check that leaves the window responsive and ends at once on
// Close; and the question before a new domain is mailed.
#include "mail/mssmtp.h"
#include "mail/submission_server.h"
#include "mail/submissiontexts.h"
#include "nscheck/ui/nscheckdlg.h"
#include "platform/wait.h"
#include "support/testnsd.h"
#include "support/ui/formdriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
class NameServerWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { world = new TestNameServerWorld; }
    static void TearDownTestSuite() {
        delete world;
        world = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(world->Problem().isEmpty()) << world->Problem().toStdString();
    }
    static void TypeServers(FormDriver& d, const QString& domain, const QStringList& hosts) {
        d.Type("DomainNameEdit", domain);
        const char* fields[] = {"PriNSEdit", "SecNSEdit", "ThirdNSEdit", "fourthnsedit"};
        for (int i = 0; i < hosts.size(); ++i)
            d.Type(fields[i], hosts[i]);
    }
    static TNSCheckDlg* Window(FormDriver& d) {
        TNSCheckDlg* dialog = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] { return (dialog = d.form().findChild<TNSCheckDlg*>()) && dialog->isVisible(); },
            3000));
        return dialog;
    }
    static TestNameServerWorld* world;
};
TestNameServerWorld* NameServerWindow::world = nullptr;
} // namespace

TEST_F(NameServerWindow, CheckShowsEachFindingAndCopyTakesThemAll) {
    FormDriver d;
    TypeServers(d, "example.com", {"ns1.example.net", "ns2.example.net"});
    d.Click("CheckNSButton");
    TNSCheckDlg* dialog = Window(d);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Name server check");
    ASSERT_TRUE(WaitUntil([&] { return !dialog->Check().Running(); }, 5000));
    EXPECT_TRUE(dialog->SummaryLabel->text().endsWith(" ok, 0 warnings, 0 errors"))
        << dialog->SummaryLabel->text().toStdString();
    QStringList shown;
    for (int i = 0; i < dialog->CheckLines->count(); ++i) {
        shown << dialog->CheckLines->item(i)->text();
        EXPECT_FALSE(dialog->CheckLines->item(i)->icon().isNull());
    }
    EXPECT_TRUE(shown.contains("ok      ns1.example.net (127.0.1.1): authoritative for "
                               "example.com, serial 2026120801"))
        << shown.join('\n').toStdString();
    QTest::mouseClick(dialog->CopyButton, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(),
              shown.join('\n') + '\n' + dialog->SummaryLabel->text() + '\n');

    // Check Again reads the page anew.
    d.form().activateWindow();
    d.Type("SecNSEdit", "x");
    QTest::mouseClick(dialog->CheckAgainButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !dialog->Check().Running(); }, 5000));
    EXPECT_TRUE(dialog->SummaryLabel->text().endsWith("1 errors"))
        << dialog->SummaryLabel->text().toStdString();
}

TEST_F(NameServerWindow, ASlowCheckLeavesTheWindowResponsiveAndCloseEndsItAtOnce) {
    SilentDnsServer quiet1("127.0.11.1"), quiet2("127.0.12.1");
    ASSERT_TRUE(quiet1.Started() && quiet2.Started()) << "cannot bind port 53";
    FormDriver d;
    TypeServers(d, "example.com", {"quiet1.example.net", "quiet2.example.net"});
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    d.Click("CheckNSButton");
    TNSCheckDlg* dialog = Window(d);
    ASSERT_TRUE(dialog);
    WaitUntil([] { return false; }, 1000);
    EXPECT_TRUE(dialog->Check().Running());
    EXPECT_GE(ticks, 25); // the event loop kept running while the servers said nothing
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(dialog->CloseButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->Check().Running());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_LT(clock.elapsed(), 200);
    // Answers still on their way change nothing.
    const int shown = dialog->CheckLines->count();
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(dialog->CheckLines->count(), shown);
}

TEST_F(NameServerWindow, CheckBeforeMailingAsksWhenTheCheckFindsErrors) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    FormDriver d;
    d.form().MailTo = "hostmaster@registry.test";
    d.form().msSMTP1->SetServer(server.Address());
    d.form().msMessage1->Sender().SetAddress("jane@example.test");
    TypeServers(d, "example.com", {"ns1.example.net"}); // one server only: an error
    const QString question = "The name server check found 1 errors. Mail the registration anyway?";

    // Unchecked: the mail button as it always was.
    d.boxes().AnswerNext(false);
    d.Click("BitBtn1");
    EXPECT_EQ(d.boxes().Texts("warning"), QStringList{SubmissionConfirmation()});

    d.Click("CheckBeforeMailBox");
    ASSERT_TRUE(d.form().findChild<QCheckBox*>("CheckBeforeMailBox")->isChecked());
    // No: nothing is sent, no confirmation asked.
    d.boxes().Clear();
    d.boxes().AnswerNext(false);
    d.Click("BitBtn1");
    EXPECT_EQ(d.boxes().Texts("warning"), QStringList{question});
    EXPECT_TRUE(server.Messages().empty());
    // Yes: the confirmation, then the send.
    d.boxes().Clear();
    d.boxes().AnswerNext(true);
    d.boxes().AnswerNext(true);
    d.form().activateWindow();
    d.Click("BitBtn1");
    EXPECT_EQ(d.boxes().Texts("warning"), (QStringList{question, SubmissionConfirmation()}));
    EXPECT_EQ(server.Messages().size(), 1u);
    // Kept in the settings file, section Lookup.
    ASSERT_TRUE(d.form().FormClose());
    EXPECT_TRUE(ReadAll(ProgramSettings::Path()).contains("[Lookup]\r\nCheckNameServers=1\r\n"))
        << ReadAll(ProgramSettings::Path()).toStdString();
}
