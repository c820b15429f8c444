// Where the focus is while a mail button's send runs and after it ends, the button pressed with
// the keyboard as the user presses it: never on Clear All, where one more Space would empty the
// page.
#include "app/ui/enterkey.h"
#include "app/ui/statusline.h"
#include "mail/msmsg.h"
#include "mail/mssmtp.h"
#include "mail/submission_server.h"
#include "mail/ui/securitydlg.h"
#include "support/refusingport.h"
#include "support/ui/formdriver.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct FocusSeen {
    QStringList during; // object names of the focus widget at each status of the send
    QString after;
};

// Types the page's name, presses the mail button with Space and answers Yes to the confirmation.
FocusSeen SendWithKeyboard(FormDriver& d, const QString& server, const QString& nameField,
                           const QString& name, const QString& button, const QString& status) {
    UseTestMailbox(d.form(), server);
    d.form().msSMTP1->SetTimeOut(20);
    d.Type(nameField, name);
    FocusSeen seen;
    QObject::connect(d.form().Control<TStatusLine>(status), &TStatusLine::textChanged, &d.form(),
                     [&seen] {
                         QWidget* f = QApplication::focusWidget();
                         seen.during << (f ? f->objectName() : "<none>");
                     });
    d.boxes().AnswerNext(true);
    QWidget& b = d.Widget(button);
    ShowSheetOf(b);
    b.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&b, Qt::Key_Space);
    QWidget* f = QApplication::focusWidget();
    seen.after = f ? f->objectName() : "<none>";
    return seen;
}
} // namespace

TEST(MailFocus, AfterARefusedConnectionTheFocusIsBackOnTheButtonNotOnClearAll) {
    FormDriver d;
    RefusingPort refusing;
    const FocusSeen seen =
        SendWithKeyboard(d, refusing.host() + ":" + QString::number(refusing.port()),
                         "DomainNameEdit", "example.com", "BitBtn1", "status");
    ASSERT_EQ(d.boxes().Texts("error").size(), 1);
    EXPECT_TRUE(d.boxes().Texts("error")[0].contains("Connection refused"));
    EXPECT_EQ(seen.after, "BitBtn1");
    ASSERT_FALSE(seen.during.isEmpty());
    for (const QString& name : seen.during)
        EXPECT_NE(name, "BitBtn2");
    // Space now presses Send again, not Clear All: the page keeps its name.
    EXPECT_EQ(d.Text("DomainNameEdit"), "example.com");
}

TEST(MailFocus, AfterASentMessageTheFocusIsBackOnTheButtonOfEachPage) {
    FormDriver d;
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    const FocusSeen host = SendWithKeyboard(d, server.Address(), "HostName", "ns1.example.com",
                                            "HostMailtoNic", "hoststatus");
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join('|').toStdString();
    EXPECT_EQ(host.after, "HostMailtoNic");
    ASSERT_FALSE(host.during.isEmpty());
    for (const QString& name : host.during)
        EXPECT_NE(name, "HostCancel");
    EXPECT_EQ(server.Messages().size(), 1u);
}

TEST(MailFocus, EnterOnMailSecuritysTestButtonTestsAndNeverAcceptsTheDialog) {
    RefusingPort refusing;
    TSecurityDlg dialog(refusing.host() + ":" + QString::number(refusing.port()));
    EnterPressesFocusedButton(); // as the program's main window installs it
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.TestButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog.TestButton, Qt::Key_Return);
    EXPECT_TRUE(dialog.TestResult->text().contains("Connection refused"))
        << dialog.TestResult->text().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), dialog.TestButton) << "the focus stays where it was";
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}
