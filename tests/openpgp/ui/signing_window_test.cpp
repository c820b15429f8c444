// The PGP scheme in the window, with a real GnuPG and its agent asking through a pinentry of the
// tests': the key picked in the Mail Security dialog signs the template the mail button sends;
// the agent's refusals are the error box's words; without an agent the dialog says why.
#include "app/ui/smtpsu.h"
#include "mail/mssmtp.h"
#include "mail/submission_server.h"
#include "mail/ui/securitydlg.h"
#include "openpgp/ui/signingkeygroup.h"
#include "store/ui/storebehaviour.h"
#include "support/gnupghome.h"
#include "support/ui/formdriver.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class SigningWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home = new TestGnupgHome;
        jane = home->MakeKey("Jane Signer <jane@example.test>");
        pat = home->MakeKey("Pat Protected <pat@example.test>", "pw-of-pat");
        old = home->MakeKey("Old Expired <old@example.test>", QString(), true);
    }
    static void TearDownTestSuite() {
        delete home;
        home = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(home->Ready());
        ASSERT_FALSE(jane.isEmpty() || pat.isEmpty() || old.isEmpty()) << "gpg made no keys";
        ASSERT_NE(server.Port(), 0);
        d.form().MailTo = "hostmaster@registry.test";
        d.form().msSMTP1->SetServer(server.Address());
        d.form().msMessage1->Sender().SetAddress("jane@example.test");
    }
    void UseKey(const QString& fingerprint) {
        TStore* store = d.form().findChild<TStore*>();
        SetupSettings settings = store->Settings();
        settings.openPgpKey = fingerprint;
        store->SetSettings(settings);
    }
    void MailDomainWithPgp(const QString& name) {
        // Back in the main window after the dialogs, as the user is.
        d.form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d.form()));
        d.ClickInto("DomainNameEdit");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        d.Type("DomainNameEdit", name);
        d.Pick("AuthScheme", "PGP");
        d.boxes().AnswerNext(true);
        d.Click("BitBtn1");
    }
    QString GpgVerify(const ReceivedMessage& m) {
        WriteAll(QDir::current().filePath("check.asc"), (m.bodyLines.join("\n") + "\n").toUtf8());
        return home->Gpg({"--verify", QDir::current().filePath("check.asc")});
    }

    static TestGnupgHome* home;
    static QString jane, pat, old;
    LocalSmtpServer server;
    FormDriver d;
};
TestGnupgHome* SigningWindow::home = nullptr;
QString SigningWindow::jane, SigningWindow::pat, SigningWindow::old;
} // namespace

TEST_F(SigningWindow, TheKeyPickedInMailSecuritySignsTheTemplateTheButtonSends) {
    QStringList listed;
    WhenModal::Next<TSetupDlg>([&](TSetupDlg& setup) {
        WhenModal::Next<TSecurityDlg>([&](TSecurityDlg& security) {
            for (int i = 0; i < security.SigningKeyBox->count(); ++i)
                listed << security.SigningKeyBox->itemText(i);
            PickFromList(*security.SigningKeyBox, security.SigningKeyBox->itemText(1));
            QTest::mouseClick(security.OKButton, Qt::LeftButton);
        });
        QTest::mouseClick(setup.SecurityButton, Qt::LeftButton);
        QTest::mouseClick(setup.OKButton, Qt::LeftButton);
    });
    d.form().findChild<QAction*>("Setup2")->trigger();
    // "(none)", then the keys that can sign, the expired one left out.
    ASSERT_EQ(listed.size(), 3) << listed.join('|').toStdString();
    EXPECT_EQ(listed[0], "(none)");
    EXPECT_TRUE(listed.join('|').contains("Jane Signer <jane@example.test> - " +
                                          jane.right(16).left(4) + " "));
    EXPECT_TRUE(listed.join('|').contains("(no expiry)"));
    EXPECT_FALSE(listed.join('|').contains("Old Expired"));
    const QString chosen = d.form().findChild<TStore*>()->Settings().openPgpKey;
    EXPECT_TRUE(chosen == jane || chosen == pat) << chosen.toStdString();
    // The key is kept in the settings file at close.
    ASSERT_TRUE(d.form().FormClose());
    EXPECT_TRUE(ReadAll(ProgramSettings::Path()).contains("\r\nOpenPGP Key=" + chosen.toUtf8()));
    UseKey(jane);

    MailDomainWithPgp("example.com");
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join('|').toStdString();
    ASSERT_EQ(server.Messages().size(), 1u);
    const QString report = GpgVerify(server.Messages()[0]);
    EXPECT_TRUE(report.contains("Good signature from \"Jane Signer <jane@example.test>\""))
        << report.toStdString();
    EXPECT_FALSE(
        ReadAll(QDir::current().filePath("domains/example.com.txt")).contains("BEGIN PGP"));
}

TEST_F(SigningWindow, TheAgentsRefusalsAreTheErrorBoxesWordsAndNothingIsSent) {
    const struct {
        QString key, answer, error;
    } cases[] = {
        {pat, "not-the-passphrase", "The template could not be signed: Bad passphrase."},
        {pat, "cancel", "The template could not be signed: Operation cancelled."},
        {old, QString(), "The template could not be signed: Key expired."},
        {"0123456789ABCDEF0123456789ABCDEF01234567", QString(),
         "The template could not be signed: No secret key."},
    };
    int n = 0;
    for (const auto& c : cases) {
        d.boxes().Clear();
        UseKey(c.key);
        home->SetPinentryAnswer(c.answer);
        const QString name = QString("case%1.example").arg(++n);
        MailDomainWithPgp(name);
        EXPECT_EQ(d.boxes().Texts("error"), QStringList{c.error});
        EXPECT_TRUE(QFileInfo::exists(QDir::current().filePath("domains/" + name + ".txt")));
    }
    EXPECT_TRUE(server.Messages().empty());

    // The pinentry's right answer signs.
    d.boxes().Clear();
    UseKey(pat);
    home->SetPinentryAnswer("pw-of-pat");
    MailDomainWithPgp("right.example");
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join('|').toStdString();
    ASSERT_EQ(server.Messages().size(), 1u);
    EXPECT_TRUE(GpgVerify(server.Messages()[0]).contains("Good signature from \"Pat Protected"));
}

TEST_F(SigningWindow, WithoutAnAgentTheKeyBoxHoldsOnlyNoneAndSaysWhy) {
    const QByteArray home = qgetenv("GNUPGHOME");
    WriteAll(QDir::current().filePath("not-a-folder"), "x");
    qputenv("GNUPGHOME", QDir::current().filePath("not-a-folder").toUtf8());
    TSigningKeyGroup group;
    group.Load(QString());
    qputenv("GNUPGHOME", home);
    EXPECT_EQ(group.SigningKeyBox->count(), 1);
    EXPECT_EQ(group.SigningKeyBox->itemText(0), "(none)");
    EXPECT_FALSE(group.SigningKeyBox->isEnabled());
    EXPECT_TRUE(group.SigningKeyBox->toolTip().startsWith("No key can be chosen: gpg-agent cannot "
                                                          "be reached"))
        << group.SigningKeyBox->toolTip().toStdString();
    EXPECT_EQ(group.Fingerprint(), QString());
}
