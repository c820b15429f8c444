// The name-server check in the window, against the lab's real name servers on port 53 (as root,
// as CI runs): the Check button's window with its lines, Copy and Check Again; Close during a
// check of four silent servers; and the question before a new domain is mailed, with the real
// message box and the Enter key.
#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "mail/mssmtp.h"
#include "mail/submission_server.h"
#include "mail/submissiontexts.h"
#include "nscheck/ui/nscheckdlg.h"
#include "platform/ui/qtmessageboxes.h"
#include "platform/wait.h"
#include "support/testnsd.h"
#include "support/ui/formdriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
class NameServerWindow : public LabForProgramsTest {
protected:
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
};

// Threads of this process, other than the window's, waiting in poll(): each is a worker asking
// name servers (an idle worker waits on its condition variable instead).
int ThreadsInPoll() {
    int count = 0;
    for (const QString& tid :
         QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (tid.toInt() == ::getpid()) continue;
        const QByteArray call = ReadAll("/proc/self/task/" + tid + "/syscall").split(' ').value(0);
        count += call == "7" || call == "271"; // poll, ppoll
    }
    return count;
}
} // namespace

TEST_F(NameServerWindow, CheckShowsEachFindingAndCopyTakesThemAll) {
    FormDriver d;
    TypeServers(d, "example.test", {"ns1.hosts.test", "ns2.hosts.test"});
    d.Click("CheckNSButton");
    TNSCheckDlg* dialog = Window(d);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Name server check");
    ASSERT_TRUE(WaitUntil([&] { return !dialog->Check().Running(); }, 9000));
    EXPECT_EQ(dialog->SummaryLabel->text(),
              "Name servers: 6 ok, 0 notices, 0 warnings, 0 errors (lab networks: 127.0.0.0/8)");
    QStringList shown;
    for (int i = 0; i < dialog->CheckLines->count(); ++i) {
        shown << dialog->CheckLines->item(i)->text();
        EXPECT_FALSE(dialog->CheckLines->item(i)->icon().isNull());
    }
    EXPECT_TRUE(shown.contains("ok      ns1.hosts.test (127.0.24.1): authoritative for "
                               "example.test, serial 2026120801"))
        << shown.join('\n').toStdString();
    QTest::mouseClick(dialog->CopyButton, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(),
              shown.join('\n') + '\n' + dialog->SummaryLabel->text() + '\n');

    // Check Again reads the page anew: a name that does not resolve.
    d.form().activateWindow();
    d.Type("SecNSEdit", "x");
    QTest::mouseClick(dialog->CheckAgainButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !dialog->Check().Running(); }, 9000));
    EXPECT_EQ(dialog->SummaryLabel->text(),
              "Name servers: 2 ok, 1 notice, 0 warnings, 3 errors (lab networks: 127.0.0.0/8)");
}

TEST_F(NameServerWindow, CloseDuringACheckOfFourSilentServersStopsEveryQuestionAtOnce) {
    std::vector<std::unique_ptr<QuirkyDns>> quiet;
    for (int n = 1; n <= 4; ++n) {
        quiet.push_back(std::make_unique<QuirkyDns>(QString("127.0.1%1.1").arg(n), 53, "silent"));
        ASSERT_TRUE(quiet.back()->Started());
    }
    FormDriver d;
    TypeServers(
        d, "example.test",
        {"quiet1.hosts.test", "quiet2.hosts.test", "quiet3.hosts.test", "quiet4.hosts.test"});
    const int before = ThreadsInPoll();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    d.Click("CheckNSButton");
    TNSCheckDlg* dialog = Window(d);
    ASSERT_TRUE(dialog);
    WaitUntil([] { return false; }, 1000);
    EXPECT_TRUE(dialog->Check().Running());
    EXPECT_GE(ticks, 25); // the window's loop kept running while the servers said nothing
    // Every question of the check waits in one worker.
    EXPECT_EQ(ThreadsInPoll(), before + 1);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(dialog->CloseButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->Check().Running());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(WaitUntil([&] { return ThreadsInPoll() == before; }, 100))
        << ThreadsInPoll() << " threads still asking";
    EXPECT_LT(clock.elapsed(), 200);
    // Answers still on their way change nothing.
    const int shown = dialog->CheckLines->count();
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(dialog->CheckLines->count(), shown);
}

TEST_F(NameServerWindow, CheckBeforeMailingAsksWhenTheCheckFindsErrorsAndEnterSendsNothing) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    FormDriver d;
    UseTestMailbox(d.form(), server.Address());
    TypeServers(d, "example.test", {"ns1.hosts.test"}); // one server only: an error
    const QString question = "The name server check found 1 error. Mail the registration anyway?";

    // Unchecked: the mail button as it always was.
    d.boxes().AnswerNext(false);
    d.Click("BitBtn1");
    ASSERT_EQ(d.boxes().Texts("warning").size(), 1);
    EXPECT_TRUE(d.boxes().Texts("warning")[0].startsWith(SubmissionConfirmation()));

    d.Click("CheckBeforeMailBox");
    ASSERT_TRUE(d.form().findChild<QCheckBox*>("CheckBeforeMailBox")->isChecked());
    // No: nothing is sent, no confirmation asked. The mail buttons were off from the start.
    auto* mailButton = d.form().findChild<QAbstractButton*>("BitBtn1");
    bool enabledAtQuestion = true;
    d.boxes().OnShown = [&] { enabledAtQuestion = mailButton->isEnabled(); };
    d.boxes().Clear();
    d.boxes().AnswerNext(false);
    d.Click("BitBtn1");
    EXPECT_EQ(d.boxes().Texts("warning"), QStringList{question});
    EXPECT_FALSE(enabledAtQuestion);
    EXPECT_TRUE(mailButton->isEnabled());
    EXPECT_TRUE(server.Messages().empty());
    d.boxes().OnShown = nullptr;
    // Yes: the confirmation, then the send.
    d.boxes().Clear();
    d.boxes().AnswerNext(true);
    d.boxes().AnswerNext(true);
    d.form().activateWindow();
    d.Click("BitBtn1");
    ASSERT_EQ(d.boxes().Texts("warning").size(), 2);
    EXPECT_EQ(d.boxes().Texts("warning")[0], question);
    EXPECT_TRUE(d.boxes().Texts("warning")[1].startsWith(SubmissionConfirmation()));
    EXPECT_EQ(server.Messages().size(), 1u);

    // The real box: Enter takes its default, No, and nothing more is sent.
    SetBoxes(std::make_shared<QtMessageBoxes>());
    QString asked;
    QString defaultButton;
    WhenModal::Next<QMessageBox>([&](QMessageBox& box) {
        asked = box.text();
        defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    d.form().activateWindow();
    d.Click("BitBtn1");
    EXPECT_EQ(asked, question);
    EXPECT_EQ(defaultButton.remove('&'), "No");
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(server.Messages().size(), 1u);
    // Kept in the settings file, section Lookup.
    ASSERT_TRUE(d.form().FormClose());
    EXPECT_TRUE(ReadAll(ProgramSettings::Path()).contains("[Lookup]\r\nCheckNameServers=1\r\n"))
        << ReadAll(ProgramSettings::Path()).toStdString();
}

TEST_F(NameServerWindow, OneServerIsCountedRightLongRowsWrapAndCheckAgainKeepsTheFocus) {
    FormDriver d;
    TypeServers(d, "example.test", {"ns1.hosts.test"});
    d.Click("CheckNSButton");
    TNSCheckDlg* dialog = Window(d);
    ASSERT_TRUE(dialog);
    dialog->resize(420, 400); // narrower than the longer findings
    ASSERT_TRUE(WaitUntil([&] { return !dialog->Check().Running(); }, 9000));
    QStringList shown;
    for (int i = 0; i < dialog->CheckLines->count(); ++i)
        shown << dialog->CheckLines->item(i)->text();
    EXPECT_TRUE(shown.contains("error   only 1 name server listed: a domain needs at least two"))
        << shown.join('\n').toStdString();
    for (const QString& line : shown)
        EXPECT_FALSE(line.contains("only 0")) << line.toStdString();

    // A row wider than the list is as tall as its wrapped lines and no wider than the list.
    QListWidget* list = dialog->CheckLines;
    const int lineHeight = list->fontMetrics().height();
    int wrapped = 0;
    for (int i = 0; i < list->count(); ++i) {
        const QRect row = list->visualItemRect(list->item(i));
        EXPECT_LE(row.width(), list->viewport()->width()) << i;
        const int textWidth = list->fontMetrics().horizontalAdvance(list->item(i)->text());
        if (textWidth > list->viewport()->width()) {
            EXPECT_GE(row.height(), 2 * lineHeight) << list->item(i)->text().toStdString();
            ++wrapped;
        }
    }
    EXPECT_GT(wrapped, 0);
    EXPECT_EQ(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // Check Again with the keyboard: the focus stays on it while the check runs and after.
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    dialog->CheckAgainButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog->CheckAgainButton, Qt::Key_Return);
    EXPECT_TRUE(dialog->Check().Running());
    EXPECT_EQ(QApplication::focusWidget(), dialog->CheckAgainButton);
    ASSERT_TRUE(WaitUntil([&] { return !dialog->Check().Running(); }, 9000));
    EXPECT_EQ(QApplication::focusWidget(), dialog->CheckAgainButton);

    // F1 anywhere in the window opens its topic.
    QTest::keyClick(dialog->CheckAgainButton, Qt::Key_F1);
    ASSERT_TRUE(HelpWindow());
    EXPECT_EQ(HelpWindow()->Page(), HelpTopicUrl(NameServerCheckHelpTopic));
    HelpWindow()->close();
}
