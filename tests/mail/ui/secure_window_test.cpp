// Secure submission from the window, as the user sets it up: File > Setup, "Security...", the
// Mail Security dialog with its Test, then a send over STARTTLS with AUTH to a real aiosmtpd; and
// the password dialog when a send needs a password nobody gave yet. No password reaches a file.
#include "app/ui/smtpsu.h"
#include "mail/securedserverfixture.h"
#include "mail/submissiontexts.h"
#include "mail/ui/passworddlg.h"
#include "mail/ui/securitydlg.h"
#include "store/setupsettings.h"
#include "support/ui/formdriver.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

class SecureWindow : public SecuredServerFixture {
protected:
    void SetUp() override { StartServer("jane:s3cret"); }
    // Settings that send over STARTTLS as jane, with no password known yet.
    QByteArray StartTlsSettings() const {
        return "[Setup]\r\nServer=" + address.toUtf8() +
               "\r\nEMail Address=jane@example.org\r\nName=Jane\r\n"
               "Mailto=hostmaster@example.net\r\nSecurity=STARTTLS\r\nUser=jane\r\n";
    }
};
} // namespace

TEST_F(SecureWindow, SetUpInTheMailSecurityDialogTestedAndUsedForASend) {
    FormDriver d;
    ChangeSettings(d.form(), [](SetupSettings& s) { s.mailto = "hostmaster@example.net"; });
    QString testResult;
    bool rememberEnabled = true;
    WhenModal::Next<TSetupDlg>([&](TSetupDlg& setup) {
        TypeInto(setup.ServerEdit, address);
        TypeInto(setup.UserAddressEdit, "jane@example.org");
        WhenModal::Next<TSecurityDlg>([&](TSecurityDlg& security) {
            PickFromList(*security.SecurityBox, "STARTTLS");
            TypeInto(security.UserEdit, "jane");
            TypeInto(security.PasswordEdit, "s3cret");
            rememberEnabled = security.RememberBox->isEnabled();
            QTest::mouseClick(security.TestButton, Qt::LeftButton);
            testResult = security.TestResult->text();
            QTest::mouseClick(security.OKButton, Qt::LeftButton);
        });
        QTest::mouseClick(setup.SecurityButton, Qt::LeftButton);
        QTest::mouseClick(setup.OKButton, Qt::LeftButton);
    });
    d.form().findChild<QAction*>("Setup2")->trigger();

    EXPECT_EQ(testResult, "Connected, secured with TLS 1.3 and signed in as jane.");
    EXPECT_FALSE(rememberEnabled);           // no keyring in this test's session
    EXPECT_TRUE(server->Messages().empty()); // the Test sends nothing

    d.Type("DomainNameEdit", "example.com");
    d.boxes().AnswerNext(true);
    d.Click("BitBtn1");
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join('|').toStdString();
    EXPECT_EQ(d.boxes().Texts("information"), QStringList{SubmissionSentNotice()});
    ASSERT_EQ(server->Messages().size(), 1u);
    EXPECT_EQ(server->Messages()[0].from, "jane@example.org");

    ASSERT_TRUE(d.form().FormClose());
    const QByteArray settings = ReadAll(ProgramSettings::Path());
    EXPECT_TRUE(settings.contains("\r\nSecurity=STARTTLS\r\nUser=jane\r\n"))
        << settings.toStdString();
    EXPECT_EQ(FilesAndSettingsHolding(QDir::currentPath(), "s3cret"), QStringList());
}

TEST_F(SecureWindow, ASendThatNeedsAPasswordAsksForItOnce) {
    SettingsFileForTest settings(StartTlsSettings());
    FormDriver d;
    d.Type("DomainNameEdit", "example.com");

    // Cancel: nothing is sent, and the status line says why.
    WhenModal::Next<TPasswordDlg>(
        [](TPasswordDlg& dialog) { QTest::keyClick(dialog.PasswordEdit, Qt::Key_Escape); });
    d.boxes().AnswerNext(true);
    d.Click("BitBtn1");
    EXPECT_TRUE(server->Messages().empty());
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty());
    EXPECT_EQ(d.Text("status"), "Not sent: no password given.");

    int asked = 0;
    WhenModal::Next<TPasswordDlg>([&](TPasswordDlg& dialog) {
        ++asked;
        TypeInto(dialog.PasswordEdit, "s3cret");
        QTest::keyClick(dialog.PasswordEdit, Qt::Key_Return);
    });
    d.boxes().AnswerNext(true);
    d.Click("BitBtn1");
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(server->Messages().size(), 1u);

    // Known from now on, until the program ends.
    d.boxes().AnswerNext(true);
    d.Click("BitBtn1");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(server->Messages().size(), 2u);
    EXPECT_EQ(FilesAndSettingsHolding(QDir::currentPath(), "s3cret"), QStringList());
}

TEST_F(SecureWindow, APasswordTheServerRefusesIsToldAndAskedForAgain) {
    SettingsFileForTest settings(StartTlsSettings());
    FormDriver d;
    d.Type("DomainNameEdit", "example.com");
    QStringList typed{"wrong", "s3cret"};
    int asked = 0;
    auto answerPrompt = [&] {
        WhenModal::Next<TPasswordDlg>([&](TPasswordDlg& dialog) {
            TypeInto(dialog.PasswordEdit, typed[asked++]);
            QTest::keyClick(dialog.PasswordEdit, Qt::Key_Return);
        });
    };
    answerPrompt();
    d.boxes().AnswerNext(true);
    d.Click("BitBtn1");
    ASSERT_EQ(d.boxes().Texts("error").size(), 1);
    const QString error = d.boxes().Texts("error").front();
    EXPECT_TRUE(error.startsWith("535 ")) << error.toStdString();
    EXPECT_TRUE(error.endsWith(". Check the user name and password under File > Setup > "
                               "Security."))
        << error.toStdString();
    EXPECT_TRUE(server->Messages().empty());

    // The refused password is forgotten: the next send asks again, and the right one goes.
    answerPrompt();
    d.boxes().AnswerNext(true);
    d.Click("BitBtn1");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(d.boxes().Texts("error").size(), 1);
    EXPECT_EQ(server->Messages().size(), 1u);
}
