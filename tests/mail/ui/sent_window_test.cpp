// The window's mail button against a real server, then File > Sent Registrations: the message
// carries its date and identifier, its copy is kept, and the window lists the log newest first
// and shows a kept message on a double click or Enter.
#include "mail/mssmtp.h"
#include "mail/submission_server.h"
#include "mail/submissiontexts.h"
#include "mail/ui/sentdlg.h"
#include "platform/wait.h"
#include "support/messagejudges.h"
#include "support/ui/formdriver.h"
#include "templates/ui/formviewer.h"

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {
void MailDomain(FormDriver& d, const QString& name) {
    d.ClickInto("DomainNameEdit");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    d.Type("DomainNameEdit", name);
    d.boxes().AnswerNext(true);
    d.Click("BitBtn1");
}
} // namespace

TEST(SentWindow, TheMailButtonsCopyIsListedNewestFirstAndShownOnADoubleClickOrEnter) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    FormDriver d;
    d.form().MailTo = "hostmaster@registry.test";
    d.form().msMessage1->Sender().SetAddress("jane@example.test");
    d.form().msMessage1->Sender().SetName("J\u00fcrgen M\u00fcller");
    d.form().msSMTP1->SetServer(server.Address());
    MailDomain(d, "example.com");
    MailDomain(d, "example.net");
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join("|").toStdString();
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 2u);
    const QJsonObject parsed = ParsedByPython(received[1].rawBytes);
    EXPECT_TRUE(parsed["defects"].toArray().isEmpty());
    EXPECT_EQ(parsed["dates"].toInt(), 1);
    EXPECT_EQ(parsed["message_ids"].toInt(), 1);
    EXPECT_EQ(parsed["from_name"].toString(), "J\u00fcrgen M\u00fcller");
    // The window's own message keeps the sender as the settings gave it.
    EXPECT_EQ(d.form().msMessage1->Headers().Count(), 0);

    d.ChooseMenuItem("Setup1", "SentRegistrations1");
    TSentDlg* sent = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (sent = d.form().findChild<TSentDlg*>("SentDlg")) && sent->isVisible(); },
        3000));
    QTreeWidget* list = sent->SentList;
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(2), "example.net");
    EXPECT_EQ(list->topLevelItem(1)->text(2), "example.com");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "domain");
    EXPECT_EQ(list->topLevelItem(1)->text(3), "hostmaster@registry.test");
    EXPECT_EQ(list->topLevelItem(1)->text(4), "250 2.0.0 Ok: queued as 4ABC1");

    // A double click on the older row shows its kept text in the form viewer.
    const QRect older = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, older.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, older.center());
    auto* viewer = qobject_cast<TFormView*>(d.form().FormView);
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(WaitUntil([viewer] { return viewer->isVisible(); }, 3000));
    EXPECT_EQ(viewer->Memo1->toPlainText().toUtf8() + "\n",
              QByteArray(received[0].rawBytes).replace("\r\n", "\n"));

    // Enter on the newer row shows that one, and the list window stays open.
    viewer->hide();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([viewer] { return viewer->isVisible(); }, 3000));
    EXPECT_TRUE(viewer->Memo1->toPlainText().contains("example.net Internic DOMAIN Registration"));
    EXPECT_TRUE(sent->isVisible());
}
