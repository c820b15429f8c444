// Sent Registrations with the registry's replies, clicked as a user does, against a real Dovecot
// on loopback: Check for Replies runs off the window thread and can be stopped, the Status column
// and the reply's per-object results read through the accessibility interface, and the periodic
// check names what it found on the status lines, its password given in Mail Security.
#include "app/ui/helpwindow.h"
#include "app/ui/smtpsu.h"
#include "mail/sentcopy.h"
#include "mail/ui/passworddlg.h"
#include "mail/ui/securitydlg.h"
#include "platform/wait.h"
#include "replies/ui/repliesgroup.h"
#include "replies/ui/replieshelp.h"
#include "replies/ui/repliessentdlg.h"
#include "replies/ui/replypane.h"
#include "replies/ui/replywatcher.h"
#include "support/loopbackpeer.h"
#include "support/replykit.h"
#include "support/testdovecot.h"
#include "support/ui/formdriver.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {
const QDateTime kNow = QDateTime::currentDateTime();

QByteArray MailboxSettings(quint16 port, const QByteArray& check,
                           const QByteArray& host = "localhost") {
    return "[Setup]\r\nUser=jane\r\n[Replies]\r\nServer=" + host + ":" + QByteArray::number(port) +
           "\r\n" + check + "\r\n";
}

// The window's watcher (made by AttachReplies).
TReplyWatcher* ReplyWatcherOf(const QWidget& window) {
    return window.findChild<TReplyWatcher*>("ReplyWatcher", Qt::FindDirectChildrenOnly);
}

// Whether `fd` can be read without waiting; a closed connection can.
bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

SentRegistration Keep(const QString& kind, const QString& name, const QString& recipient,
                      const QString& subject, const QDateTime& when) {
    return KeepRegistration(SentFolderPath(), kind, name, recipient, subject, when);
}

TRepliesSentDlg* OpenSentWindow(FormDriver& d) {
    d.ChooseMenuItem("Setup1", "SentRegistrations1");
    TRepliesSentDlg* sent = nullptr;
    WaitUntil(
        [&] {
            sent = d.form().findChild<TRepliesSentDlg*>("SentDlg");
            return sent && sent->isVisible();
        },
        3000);
    return sent;
}

// The password dialog that the button opens for a mailbox without a known password: typed and OK.
void AnswerPasswordDialog(const QString& password) {
    WhenModal::Next<TPasswordDlg>([password](TPasswordDlg& dialog) {
        QTest::keyClicks(dialog.PasswordEdit, password);
        QTest::keyClick(dialog.PasswordEdit, Qt::Key_Return);
    });
}

// The cells of the column headed `header`, row by row, as assistive technology reads the table.
QStringList ColumnRead(QTreeView* list, const QString& header) {
    // A reader reads what the view shows once it has laid out its rows anew.
    QCoreApplication::processEvents();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    QAccessibleTableInterface* cells = table ? table->tableInterface() : nullptr;
    if (!cells) return {"(no table)"};
    int column = -1;
    for (int c = 0; c < cells->columnCount(); ++c)
        if (cells->columnDescription(c) == header) column = c;
    if (column < 0) return {"(no column " + header + ")"};
    QStringList texts;
    for (int row = 0; row < cells->rowCount(); ++row)
        texts << cells->cellAt(row, column)->text(QAccessible::Name);
    // Dropped afterwards (see ItemsRead).
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(table));
    return texts;
}

// A click on the title of the column headed `title`.
void ClickTitle(QTreeView* list, const QString& title) {
    QHeaderView* header = list->header();
    for (int column = 0; column < list->model()->columnCount(); ++column) {
        if (list->model()->headerData(column, Qt::Horizontal).toString() != title) continue;
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
}

// The list's items as assistive technology reads them. The interface is dropped afterwards: with
// no screen reader about, the toolkit sends a view's changes to nobody, so a kept interface would
// hold the rows it read before.
QStringList ItemsRead(QListWidget* list, QAccessible::Role* role = nullptr) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
    if (role) *role = a->role();
    QStringList texts;
    for (int i = 0; i < a->childCount(); ++i)
        texts << a->child(i)->text(QAccessible::Name);
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(a));
    return texts;
}

// The lines a screen reader must meet for a sample's objects: each object's verdict and line,
// then its error lines.
QStringList ExpectedResults(const QString& sample) {
    QStringList lines;
    for (const QJsonValue& object : Sample(sample).objects) {
        lines << object["result"].toString() + ": " + object["line"].toString();
        for (const QJsonValue& error : object["errors"].toArray())
            lines << error.toString();
    }
    return lines;
}

class RepliesWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dovecot_.Started()) << dovecot_.Problem().toStdString(); }

    TestDovecot dovecot_;
    TrustTestAuthority trust_{dovecot_.Authority()};
};
} // namespace

TEST_F(RepliesWindow, CheckForRepliesFillsTheStatusColumnAndTheReplyPane) {
    SettingsFileForTest settings(MailboxSettings(dovecot_.TlsPort(), "Check=0"));
    FormDriver d;
    const SentRegistration old =
        Keep("host", "ns9.example.net", "hostmaster@internic.net",
             "ns9.example.net Internic HOST Registration", kNow.addDays(-2));
    const SentRegistration reverse = Keep("domain", "2.0.192.in-addr.arpa", "auto-dbm@ripe.net",
                                          "reverse 192.0.2.0/24", kNow.addSecs(-3600));
    const SentRegistration created =
        Keep("domain", "0.0.193.in-addr.arpa", "auto-dbm@ripe.net", "NEW", kNow.addSecs(-1800));
    const QString zonemaster = "ripe-failed-domain-zonemaster.eml";
    const QString success = "ripe-success-create-and-noop.eml";
    dovecot_.Deliver(QuotingId(zonemaster, reverse.messageId), kNow.addSecs(-600));
    dovecot_.Deliver(QuotingId(success, created.messageId), kNow.addSecs(-300));

    TRepliesSentDlg* sent = OpenSentWindow(d);
    ASSERT_TRUE(sent);
    // Newest first; nothing has been read yet.
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"),
              QStringList({"0.0.193.in-addr.arpa", "2.0.192.in-addr.arpa", "ns9.example.net"}));
    EXPECT_EQ(ColumnRead(sent->SentList, "Status"),
              QStringList({"waiting", "waiting", "waiting for more than 24 hours"}));

    AnswerPasswordDialog(TestDovecot::Password);
    QTest::mouseClick(sent->CheckButton, Qt::LeftButton);
    // The click is back while the check goes on off the window thread: its result can only come
    // through the event queue.
    TReplyWatcher* watcher = ReplyWatcherOf(d.form());
    ASSERT_TRUE(watcher);
    EXPECT_TRUE(watcher->Running());
    EXPECT_TRUE(sent->StopButton->isVisible());
    EXPECT_TRUE(sent->CheckProgress->isVisible());
    EXPECT_FALSE(sent->CheckButton->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !watcher->Running(); }, 60000));

    const QString found = "Replies: 2.0.192.in-addr.arpa refused, 0.0.193.in-addr.arpa done.";
    EXPECT_EQ(sent->SentNote->text(), found);
    EXPECT_EQ(d.Text("status"), found);
    EXPECT_FALSE(sent->StopButton->isVisible());
    EXPECT_TRUE(sent->CheckButton->isEnabled());
    EXPECT_EQ(ColumnRead(sent->SentList, "Status"),
              QStringList({"done", "refused", "waiting for more than 24 hours"}));

    // A click on the refused registration: its reply below, an object with its error lines.
    const QModelIndex row = sent->SentList->model()->index(1, 0);
    QTest::mouseClick(sent->SentList->viewport(), Qt::LeftButton, {},
                      sent->SentList->visualRect(row).center());
    ASSERT_TRUE(WaitUntil([&] { return !sent->Pane->Reading(); }, 30000));
    QAccessible::Role role = QAccessible::NoRole;
    EXPECT_EQ(ItemsRead(sent->Pane->ResultList, &role), ExpectedResults(zonemaster));
    EXPECT_EQ(role, QAccessible::List);
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(sent->Pane->ResultList)->text(QAccessible::Name),
        "Results of the reply");
    EXPECT_FALSE(sent->Pane->ResultList->item(0)->icon().isNull());
    EXPECT_TRUE(sent->Pane->ResultList->item(1)->icon().isNull());
    EXPECT_TRUE(sent->Pane->Heading->text().contains(": refused."))
        << sent->Pane->Heading->text().toStdString();
    EXPECT_TRUE(sent->Pane->ReplyText->toPlainText().contains(
        "Create FAILED: [domain] 2.0.192.in-addr.arpa"));

    // The keyboard moves to the done one, and the waiting one says that nothing came.
    QTest::keyClick(sent->SentList, Qt::Key_Up);
    ASSERT_TRUE(WaitUntil([&] { return !sent->Pane->Reading(); }, 30000));
    EXPECT_EQ(ItemsRead(sent->Pane->ResultList), ExpectedResults(success));
    QTest::keyClick(sent->SentList, Qt::Key_End);
    EXPECT_EQ(sent->Pane->Heading->text(), "No reply yet (waiting for more than 24 hours).");
    EXPECT_EQ(sent->Pane->ResultList->count(), 0);

    // F1 on the button opens the replies' help page.
    QApplication::setActiveWindow(sent);
    sent->CheckButton->setFocus();
    QTest::keyClick(sent->CheckButton, Qt::Key_F1);
    ASSERT_TRUE(HelpWindow() && HelpWindow()->isVisible());
    EXPECT_EQ(HelpWindow()->Page(), HelpTopicUrl(RepliesHelpTopic));
    HelpWindow()->close();
    // Tab goes along the filters down to the list and on to the reply's results.
    QApplication::setActiveWindow(sent);
    sent->FilterEdit->setFocus();
    QTest::keyClick(sent->FilterEdit, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), sent->StatusChoice);
    sent->DateRangeBox->setFocus();
    QTest::keyClick(sent->DateRangeBox, Qt::Key_Tab); // past the dates, off while the box is
    EXPECT_EQ(QApplication::focusWidget(), sent->SentList);
    QTest::keyClick(sent->SentList, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), sent->Pane->ResultList);

    // A second check finds nothing new; the password is known from the first.
    QTest::mouseClick(sent->CheckButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !watcher->Running(); }, 60000));
    EXPECT_EQ(sent->SentNote->text(), "No new replies.");
    EXPECT_EQ(d.Text("status"), found); // only new verdicts reach the status lines
    EXPECT_EQ(FilesAndSettingsHolding(QDir::currentPath(), TestDovecot::Password), QStringList());

    // A click on a column's title sorts by it: the time by the moment (not as its text reads),
    // again reversed, the status by its words.
    ClickTitle(sent->SentList, "Time");
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"),
              QStringList({"ns9.example.net", "2.0.192.in-addr.arpa", "0.0.193.in-addr.arpa"}));
    ClickTitle(sent->SentList, "Status");
    EXPECT_EQ(ColumnRead(sent->SentList, "Status"),
              QStringList({"done", "refused", "waiting for more than 24 hours"}));

    // The filter keeps the rows whose status, kind or name hold its text, for the reader too,
    // and the reply shown is one of them.
    QTest::mouseClick(sent->FilterEdit, Qt::LeftButton);
    QTest::keyClicks(sent->FilterEdit, "Refused");
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"), QStringList{"2.0.192.in-addr.arpa"});
    ASSERT_TRUE(WaitUntil([&] { return !sent->Pane->Reading(); }, 30000));
    EXPECT_TRUE(sent->Pane->Heading->text().contains(": refused."));
    QTest::keyClick(sent->FilterEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(sent->FilterEdit, "host");
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"), QStringList{"ns9.example.net"});
    EXPECT_EQ(sent->Pane->Heading->text(), "No reply yet (waiting for more than 24 hours).");
    QTest::keyClicks(sent->FilterEdit, "x");
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"), QStringList());
    EXPECT_EQ(sent->Pane->Heading->text(), QString());
    QTest::keyClick(sent->FilterEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(sent->FilterEdit, Qt::Key_Delete);
    EXPECT_EQ(ColumnRead(sent->SentList, "Name").size(), 3);

    // The choice of a status keeps its rows: "waiting" the long wait too.
    sent->StatusChoice->setFocus();
    QTest::keyClick(sent->StatusChoice, Qt::Key_Down);
    EXPECT_EQ(sent->StatusChoice->currentText(), "waiting");
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"), QStringList{"ns9.example.net"});
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(sent->StatusChoice, Qt::Key_Down);
    EXPECT_EQ(sent->StatusChoice->currentText(), "refused");
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"), QStringList{"2.0.192.in-addr.arpa"});
    QTest::keyClicks(sent->FilterEdit, "host");
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"), QStringList());
    QTest::keyClick(sent->StatusChoice, Qt::Key_Home);
    EXPECT_EQ(ColumnRead(sent->SentList, "Name"), QStringList{"ns9.example.net"});
}

TEST_F(RepliesWindow, ARegistrationWithTwoRepliesShowsTheOneThatSettledItAndOffersTheOther) {
    SettingsFileForTest settings(MailboxSettings(dovecot_.TlsPort(), "Check=0"));
    FormDriver d;
    Keep("host", "ns1.example.com", "hostmaster@internic.net",
         "ns1.example.com Internic HOST Registration", kNow.addSecs(-3600));
    // The registry robot's tracking number, then its completion notice naming only the number.
    const QString robot = "From: NIC Registration Robot <hostmaster@internic.net>";
    dovecot_.Deliver(Mail({robot, "Message-ID: <ack1@rs.internic.net>",
                           "Subject: Re: NEW HOST ns1.example.com [NIC-261210.17]"},
                          {"Your request has been assigned tracking number NIC-261210.17."}),
                     kNow.addSecs(-600));
    dovecot_.Deliver(Mail({robot, "Message-ID: <done1@rs.internic.net>", "Subject: Notice"},
                          {"Request NIC-261210.17 has been completed."}),
                     kNow.addSecs(-300));
    TRepliesSentDlg* sent = OpenSentWindow(d);
    ASSERT_TRUE(sent);
    EXPECT_FALSE(sent->Pane->ReplyChooser->isVisible()); // nothing came yet
    TReplyWatcher* watcher = ReplyWatcherOf(d.form());
    AnswerPasswordDialog(TestDovecot::Password);
    QTest::mouseClick(sent->CheckButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !watcher->Running() && !sent->Pane->Reading(); }, 60000));
    EXPECT_EQ(ColumnRead(sent->SentList, "Status"), QStringList{"done"});

    // The completion settled it; the tracking number's reply is one pick away.
    ASSERT_TRUE(sent->Pane->ReplyChooser->isVisible());
    EXPECT_EQ(sent->Pane->ReplyChooser->count(), 2);
    EXPECT_TRUE(sent->Pane->Heading->text().contains(": done."))
        << sent->Pane->Heading->text().toStdString();
    EXPECT_TRUE(sent->Pane->ReplyText->toPlainText().contains("has been completed"));
    PickFromList(*sent->Pane->ReplyChooser, sent->Pane->ReplyChooser->itemText(0));
    ASSERT_TRUE(WaitUntil([&] { return !sent->Pane->Reading(); }, 30000));
    EXPECT_TRUE(sent->Pane->Heading->text().contains(": received NIC-261210.17."))
        << sent->Pane->Heading->text().toStdString();
    EXPECT_TRUE(sent->Pane->ReplyText->toPlainText().contains("assigned tracking number"));
}

TEST_F(RepliesWindow, StopEndsACheckThatWaitsForAServerAndTheWindowStaysUsable) {
    // A server that takes the connection and never says a word.
    uint16_t port = 0;
    const int silent = ListenOnLoopback(4, port);
    ASSERT_GE(silent, 0);
    SettingsFileForTest settings(MailboxSettings(port, "Check=0", "127.0.0.1"));
    FormDriver d;
    Keep("domain", "a.example", "auto-dbm@ripe.net", "NEW", kNow.addSecs(-60));
    TRepliesSentDlg* sent = OpenSentWindow(d);
    ASSERT_TRUE(sent);
    TReplyWatcher* watcher = ReplyWatcherOf(d.form());

    AnswerPasswordDialog("anything");
    QTest::mouseClick(sent->CheckButton, Qt::LeftButton);
    ASSERT_TRUE(watcher->Running());
    // The window answers while the check waits: rows can be chosen.
    ASSERT_TRUE(WaitUntil([&] { return Readable(silent); }, 10000));
    const int connection = ::accept(silent, nullptr, nullptr);
    ASSERT_GE(connection, 0);
    sent->SentList->setFocus();
    QTest::keyClick(sent->SentList, Qt::Key_Home);
    EXPECT_EQ(sent->Pane->Heading->text(), "No reply yet (waiting).");
    EXPECT_TRUE(watcher->Running());

    QTest::mouseClick(sent->StopButton, Qt::LeftButton);
    EXPECT_FALSE(watcher->Running());
    EXPECT_EQ(sent->SentNote->text(), "The check for replies was stopped.");
    EXPECT_TRUE(sent->CheckButton->isEnabled());
    EXPECT_FALSE(sent->CheckProgress->isVisible());
    // The worker ended its wait at once: the connection is closed (after the TLS greeting it
    // began with).
    char bytes[4096];
    EXPECT_TRUE(WaitUntil(
        [&] { return Readable(connection) && ::recv(connection, bytes, sizeof bytes, 0) == 0; },
        10000));
    ::close(connection);
    ::close(silent);
    EXPECT_EQ(d.Text("status"), "status..."); // a stopped check tells the status lines nothing
}

TEST_F(RepliesWindow, APeriodicCheckSetUpInMailSecurityNamesItsVerdictsOnTheStatusLines) {
    // Checks only on request, until Mail Security sets every minute: shortened to a second by the
    // settings file's period for trying it out.
    SettingsFileForTest settings(MailboxSettings(dovecot_.TlsPort(), "Check=0\r\nCheck Seconds=1"));
    FormDriver d;
    EXPECT_FALSE(ReplyWatcherOf(d.form())->PeriodTimer()->isActive());
    const SentRegistration created =
        Keep("domain", "0.0.193.in-addr.arpa", "auto-dbm@ripe.net", "NEW", kNow.addSecs(-1800));
    dovecot_.Deliver(QuotingId("ripe-success-create-and-noop.eml", created.messageId),
                     kNow.addSecs(-300));

    QString server, placeholder, testResult;
    WhenModal::Next<TSetupDlg>([&](TSetupDlg& setup) {
        WhenModal::Next<TSecurityDlg>([&](TSecurityDlg& security) {
            auto* group = security.findChild<TRepliesGroup*>();
            ASSERT_TRUE(group);
            server = group->ServerEdit->text();
            placeholder = group->UserEdit->placeholderText();
            group->PasswordEdit->setFocus();
            QTest::keyClicks(group->PasswordEdit, TestDovecot::Password);
            group->CheckBox->setFocus();
            group->CheckBox->selectAll();
            QTest::keyClicks(group->CheckBox, "1");
            QTest::mouseClick(group->TestButton, Qt::LeftButton);
            WaitUntil([&] { return group->TestButton->isEnabled(); }, 30000);
            testResult = group->TestResult->text();
            QTest::mouseClick(security.OKButton, Qt::LeftButton);
        });
        QTest::mouseClick(setup.SecurityButton, Qt::LeftButton);
        QTest::mouseClick(setup.OKButton, Qt::LeftButton);
    });
    d.form().findChild<QAction*>("Setup2")->trigger();
    const QString port = QString::number(dovecot_.TlsPort());
    EXPECT_EQ(server, "localhost:" + port);
    EXPECT_EQ(placeholder, "jane"); // the mail server's user
    EXPECT_EQ(testResult,
              "Signed in to localhost:" + port + " as jane; folder INBOX holds 1 message.");
    const QByteArray written = ReadAll(ProgramSettings::Path());
    EXPECT_TRUE(written.contains("\r\nCheck=1\r\n")) << written.toStdString();

    // Nobody presses anything: the next period's check names the verdict on every page.
    const QString found = "Replies: 0.0.193.in-addr.arpa done.";
    EXPECT_TRUE(WaitUntil([&] { return d.Text("status") == found; }, 30000))
        << d.Text("status").toStdString();
    EXPECT_EQ(d.Text("hoststatus"), found);
    EXPECT_EQ(d.Text("Cstatus"), found);
    const Result<std::vector<RegistrationState>> states = ReadRegistrationStates(SentFolderPath());
    ASSERT_TRUE(states.Ok());
    EXPECT_EQ(states->front().status, ReplyStatus::Done);
    // Nothing popped up, and the password reached no file.
    EXPECT_TRUE(d.boxes().Texts("information").isEmpty());
    EXPECT_EQ(FilesAndSettingsHolding(QDir::currentPath(), TestDovecot::Password), QStringList());
}

TEST_F(RepliesWindow, ARefusedPasswordIsToldAskedForAgainAndNeverOfferedByItself) {
    SettingsFileForTest settings(MailboxSettings(dovecot_.TlsPort(), "Check=1\r\nCheck Seconds=1"));
    FormDriver d;
    const SentRegistration created =
        Keep("domain", "0.0.193.in-addr.arpa", "auto-dbm@ripe.net", "NEW", kNow.addSecs(-1800));
    dovecot_.Deliver(QuotingId("ripe-success-create-and-noop.eml", created.messageId),
                     kNow.addSecs(-300));
    TRepliesSentDlg* sent = OpenSentWindow(d);
    ASSERT_TRUE(sent);
    TReplyWatcher* watcher = ReplyWatcherOf(d.form());
    ASSERT_TRUE(WaitUntil([&] { return !watcher->Running(); }, 30000));

    AnswerPasswordDialog("wrong");
    QTest::mouseClick(sent->CheckButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !watcher->Running(); }, 30000));
    const QString refused = "The mailbox server localhost:" + QString::number(dovecot_.TlsPort()) +
                            " refused the user name jane or its password. No check asks again "
                            "by itself until a password is given (File > Setup, Security...).";
    EXPECT_EQ(sent->SentNote->text(), refused);
    EXPECT_EQ(d.Text("status"), refused);
    // Offered again every second, a refused password may lock the account: none is.
    QSignalSpy started(watcher, &TReplyWatcher::CheckStarted);
    QTest::qWait(2500);
    EXPECT_EQ(started.count(), 0);

    // The button asks again, and the right password starts the periodic checks again.
    int asked = 0;
    WhenModal::Next<TPasswordDlg>([&](TPasswordDlg& dialog) {
        ++asked;
        QTest::keyClicks(dialog.PasswordEdit, TestDovecot::Password);
        QTest::keyClick(dialog.PasswordEdit, Qt::Key_Return);
    });
    QTest::mouseClick(sent->CheckButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !watcher->Running(); }, 30000));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(sent->SentNote->text(), "Replies: 0.0.193.in-addr.arpa done.");
    EXPECT_TRUE(WaitUntil([&] { return started.count() > 0; }, 10000));
}
