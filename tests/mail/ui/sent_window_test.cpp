// The window's mail button against a real server, then File > Sent Registrations: the message
// carries its date and identifier, its copy is kept, and the window lists the log newest first
// and shows a kept message, read-only, on a double click or Enter.
#include "mail/mssmtp.h"
#include "mail/submission_server.h"
#include "mail/submissiontexts.h"
#include "mail/ui/keptmessagedlg.h"
#include "mail/ui/sentdlg.h"
#include "platform/ui/qtmessageboxes.h"
#include "platform/wait.h"
#include "support/messagejudges.h"
#include "support/testchild.h"
#include "support/ui/formdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>

namespace {
// The child: the window with real boxes in the folder it was started in. It types example.com,
// clicks the domain page's mail button and Yes, and once the "sent" box is open it says so on its
// output and waits there, as a user who has not pressed OK yet.
int MailUntilTheSentBoxIsOpen(const QString& server) {
    SetBoxes(std::make_shared<QtMessageBoxes>());
    TForm1 form;
    UseTestMailbox(form, server);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 3;
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form)) return 3;
    auto* name = form.Control<QComboBox>("DomainNameEdit");
    ShowSheetOf(*name);
    QTest::mouseClick(name->lineEdit(), Qt::LeftButton);
    TypeText(name->lineEdit(), "example.com");
    WhenModal::Next<QMessageBox>([](QMessageBox& confirmation) {
        WhenModal::Next<QMessageBox>(
            [](QMessageBox& sent) {
                std::printf("BOX %s\n", sent.text().toUtf8().constData());
                std::fflush(stdout);
            },
            60000);
        QTest::mouseClick(confirmation.button(QMessageBox::Yes), Qt::LeftButton);
    });
    // A child whose test lost track of it does not stay.
    QTimer::singleShot(120000, [] { std::_Exit(4); });
    auto* button = form.Control<QAbstractButton>("BitBtn1");
    ShowSheetOf(*button);
    QTest::mouseClick(button, Qt::LeftButton);
    return 5; // the box was closed: the test never does that
}
const TestChild sentBoxChild("sent-box", MailUntilTheSentBoxIsOpen);

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
    UseTestMailbox(d.form(), server.Address(), "hostmaster@registry.test",
                   "J\u00fcrgen M\u00fcller");
    MailDomain(d, "example.com");
    MailDomain(d, "b\u00fccher.example");
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join("|").toStdString();
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].subject, "xn--bcher-kva.example Internic DOMAIN Registration");
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
    QTreeView* list = sent->SentList;
    const QAbstractItemModel* rows = list->model();
    ASSERT_EQ(rows->rowCount(), 2);
    auto cell = [rows](int row, int column) { return rows->index(row, column).data().toString(); };
    // The name went as its A-label; its Unicode form stands beside it.
    EXPECT_EQ(cell(0, 2), "xn--bcher-kva.example (b\u00fccher.example)");
    EXPECT_EQ(cell(1, 2), "example.com");
    EXPECT_EQ(cell(1, 1), "domain");
    EXPECT_EQ(cell(1, 3), "hostmaster@registry.test");
    EXPECT_EQ(cell(1, 4), "250 2.0.0 Ok: queued as 4ABC1");

    // A double click on the older row shows its kept text, read-only.
    const QRect older = list->visualRect(rows->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, older.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, older.center());
    TKeptMessageDlg* viewer = sent->MessageWindow();
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(WaitUntil([viewer] { return viewer->isVisible(); }, 3000));
    // As a mail reader shows it: the sender's encoded name decoded, the body as it went, each
    // header field's value in one column.
    const QString shown = viewer->MessageText->toPlainText();
    const QString raw = QString::fromUtf8(received[0].rawBytes).replace("\r\n", "\n");
    const qsizetype headerEnd = shown.indexOf("\n\n");
    ASSERT_GT(headerEnd, 0);
    EXPECT_EQ(shown.mid(headerEnd), raw.mid(raw.indexOf("\n\n")).chopped(1));
    const QStringList fields = shown.left(headerEnd).split('\n');
    const QRegularExpression field("^([A-Za-z-]+:) +(\\S.*)$");
    qsizetype valueColumn = -1;
    for (const QString& line : fields) {
        const QRegularExpressionMatch parts = field.match(line);
        ASSERT_TRUE(parts.hasMatch()) << line.toStdString();
        if (valueColumn < 0) valueColumn = parts.capturedStart(2);
        EXPECT_EQ(parts.capturedStart(2), valueColumn) << line.toStdString();
    }
    EXPECT_EQ(valueColumn, QStringLiteral("Content-Transfer-Encoding: ").size());
    EXPECT_TRUE(fields.contains(QString("From:").leftJustified(valueColumn) +
                                "J\u00fcrgen M\u00fcller <jane@example.test>"))
        << fields.join('|').toStdString();

    // Enter on the newer row shows that one, and the list window stays open.
    viewer->hide();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([viewer] { return viewer->isVisible(); }, 3000));
    EXPECT_TRUE(viewer->MessageText->toPlainText().contains(
        QString("\nSubject:").leftJustified(valueColumn + 1) +
        "xn--bcher-kva.example Internic DOMAIN Registration\n"));
    EXPECT_TRUE(sent->isVisible());
}

TEST(SentWindow, EndedWhileTheSentBoxIsOpenTheCopyTheLogLineAndTheNameListAreKept) {
    ScopedWorkDir dir;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    QProcess child;
    child.setWorkingDirectory(dir.path());
    QStringList environment = QProcess::systemEnvironment();
    environment << TestChildVariable("sent-box", server.Address());
    child.setEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray said;
    QDeadlineTimer deadline(60000);
    while (!said.contains('\n') && !deadline.hasExpired() && child.state() == QProcess::Running)
        if (child.waitForReadyRead(1000)) said += child.readAllStandardOutput();
    ASSERT_EQ(said, "BOX Your registratuion has been sent.\n")
        << child.readAllStandardError().constData();
    // The user logs out, or the system shuts down, before pressing OK.
    ASSERT_EQ(::kill(pid_t(child.processId()), SIGTERM), 0);
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 1u);
    const QStringList kept = QDir(dir.file("sent")).entryList({"*.eml"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadAll(dir.file("sent/" + kept[0])), received[0].rawBytes);
    const QList<QByteArray> log = ReadAll(dir.file("sent/sent.log")).split('\n');
    ASSERT_EQ(log.size(), 2);
    const QList<QByteArray> fields = log[0].split('\t');
    ASSERT_EQ(fields.size(), 6);
    EXPECT_EQ(fields[2], "example.com");
    const QDateTime logged = QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODate);
    EXPECT_LE(std::abs(logged.msecsTo(received[0].acceptedAt)), 1000)
        << fields[0].constData() << " against "
        << received[0].acceptedAt.toString(Qt::ISODateWithMs).toStdString();
    EXPECT_EQ(ReadAll(dir.file("domains.cbx")), "example.com\r\n");
}
