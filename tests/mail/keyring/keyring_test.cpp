// Mail passwords through a real Secret Service (gnome-keyring on a private session bus): stored by
// `password set` and by the Mail Security dialog, found again by the next send of the companion
// and of a new window, removed by `password clear`; and never in any file the program writes.
#include "app/ui/smtpsu.h"
#include "mail/keyring.h"
#include "mail/securedserverfixture.h"
#include "mail/submissiontexts.h"
#include "mail/ui/passworddlg.h"
#include "mail/ui/securitydlg.h"
#include "support/process.h"
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
class Keyring : public SecuredServerFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(KeyringAvailable(&why)) << why.toStdString();
        StartServer("jane:k3yring-secret");
    }
    void TearDown() override { ClearStoredPassword("jane", address); }
};
} // namespace

TEST_F(Keyring, ThePasswordSetByTheCompanionServesItsNextSendUntilCleared) {
    ScopedWorkDir dir;
    WriteAll("body.txt", "text\r\n");
    const QStringList send = {
        "send",       "--server", address,  "--from", "jane@example.org", "--to", "hm@example.net",
        "--security", "starttls", "--user", "jane",   "body.txt"};
    ProcessResult r = RunCli({"password", "set", "--server", address, "--user", "jane"}, dir.path(),
                             "k3yring-secret\nsecond line ignored\n");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadStoredPassword("jane", address), QString("k3yring-secret"));

    r = RunCli(send, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(server->Messages().size(), 1u);

    r = RunCli({"password", "clear", "--server", address, "--user", "jane"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = RunCli(send, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, ("No password for jane at " + address + ".\n").toUtf8());
    EXPECT_EQ(FilesAndSettingsHolding(dir.path(), "k3yring-secret"), QStringList());
}

TEST_F(Keyring, ThePasswordRememberedByTheDialogServesANewWindow) {
    {
        FormDriver d;
        WhenModal::Next<TSetupDlg>([&](TSetupDlg& setup) {
            setup.ServerEdit->setText(address);
            setup.UserAddressEdit->setText("jane@example.org");
            setup.mailto->setText("hm@example.net");
            WhenModal::Next<TSecurityDlg>([&](TSecurityDlg& security) {
                PickFromList(*security.SecurityBox, "STARTTLS");
                security.UserEdit->setText("jane");
                QTest::keyClicks(security.PasswordEdit, "k3yring-secret");
                EXPECT_TRUE(security.RememberBox->isEnabled());
                ClickIndicator(*security.RememberBox);
                EXPECT_TRUE(security.RememberBox->isChecked());
                QTest::mouseClick(security.OKButton, Qt::LeftButton);
            });
            QTest::mouseClick(setup.SecurityButton, Qt::LeftButton);
            QTest::mouseClick(setup.OKButton, Qt::LeftButton);
        });
        d.form().findChild<QAction*>("Setup2")->trigger();
        EXPECT_EQ(ReadStoredPassword("jane", address), QString("k3yring-secret"));
        ASSERT_TRUE(d.form().FormClose());
        const QByteArray settings = ReadAll(ProgramSettings::Path());
        EXPECT_TRUE(settings.contains("Security=STARTTLS")) << settings.toStdString();

        // A new window knows nothing in memory, asks nobody, and finds the keyring's password.
        SettingsFileForTest keep(settings);
        FormDriver again;
        bool asked = false;
        WhenModal::Next<TPasswordDlg>([&](TPasswordDlg& dialog) {
            asked = true;
            dialog.reject();
        });
        again.Type("DomainNameEdit", "example.com");
        again.boxes().AnswerNext(true);
        again.Click("BitBtn1");
        EXPECT_TRUE(again.boxes().Texts("error").isEmpty())
            << again.boxes().Texts("error").join('|').toStdString();
        EXPECT_EQ(again.boxes().Texts("information"), QStringList{SubmissionSentNotice()});
        EXPECT_FALSE(asked);
        EXPECT_EQ(server->Messages().size(), 1u);
        EXPECT_EQ(FilesAndSettingsHolding(QDir::currentPath(), "k3yring-secret"), QStringList());
    }
}

TEST_F(Keyring, TheDialogShowsAStoredPasswordTestsWithItAndForgetsItWhenUnticked) {
    ASSERT_TRUE(StorePassword("jane", address, "k3yring-secret").ok);
    SettingsFileForTest settings("[Setup]\r\nServer=" + address.toUtf8() +
                                 "\r\nEMail Address=jane@example.org\r\nName=Jane\r\n"
                                 "Mailto=hm@example.net\r\nSecurity=STARTTLS\r\nUser=jane\r\n");
    FormDriver d;
    bool ticked = false;
    QString placeholder, shown, testResult;
    auto openSecurity = [&](std::function<void(TSecurityDlg&)> act) {
        WhenModal::Next<TSetupDlg>([&, act](TSetupDlg& setup) {
            WhenModal::Next<TSecurityDlg>(act);
            QTest::mouseClick(setup.SecurityButton, Qt::LeftButton);
            QTest::mouseClick(setup.OKButton, Qt::LeftButton);
        });
        d.ChooseMenuItem("Setup1", "Setup2");
    };
    d.form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d.form()));
    openSecurity([&](TSecurityDlg& security) {
        ticked = security.RememberBox->isChecked();
        placeholder = security.PasswordEdit->placeholderText();
        shown = security.PasswordEdit->text();
        // Nothing typed: the Test signs in with the keyring's password, as a send would.
        QTest::mouseClick(security.TestButton, Qt::LeftButton);
        testResult = security.TestResult->text();
        QTest::mouseClick(security.OKButton, Qt::LeftButton);
    });
    EXPECT_TRUE(ticked);
    EXPECT_EQ(placeholder, "(stored in the keyring)");
    EXPECT_EQ(shown, "");
    EXPECT_EQ(testResult, "Connected, secured with TLS 1.3 and signed in as jane.");
    // OK with the box still ticked and nothing typed keeps the stored password.
    EXPECT_EQ(ReadStoredPassword("jane", address), QString("k3yring-secret"));

    openSecurity([&](TSecurityDlg& security) {
        ClickIndicator(*security.RememberBox);
        QTest::mouseClick(security.OKButton, Qt::LeftButton);
    });
    EXPECT_EQ(ReadStoredPassword("jane", address), std::nullopt);
    openSecurity([&](TSecurityDlg& security) {
        ticked = security.RememberBox->isChecked();
        placeholder = security.PasswordEdit->placeholderText();
        QTest::mouseClick(security.CancelButton, Qt::LeftButton);
    });
    EXPECT_FALSE(ticked);
    EXPECT_EQ(placeholder, "");
    EXPECT_TRUE(d.boxes().shown().empty());
}
