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
        card = home->MakeCardKey("Card Key <card@example.test>");
        home->MakeStubKey("Stub Primary <stub@example.test>");
        home->MakeTwinKey("Twin Key <twin@example.test>");
    }
    static void TearDownTestSuite() {
        delete home;
        home = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(home->Ready());
        ASSERT_FALSE(jane.isEmpty() || pat.isEmpty() || old.isEmpty() || card.isEmpty())
            << "gpg made no keys";
        ASSERT_NE(server.Port(), 0);
        UseTestMailbox(d.form(), server.Address());
    }
    void UseKey(const QString& fingerprint) {
        ChangeSettings(d.form(), [&](SetupSettings& s) { s.openPgpKey = fingerprint; });
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
    // Opens File > Setup, its Security button and presses OK in both, as the user does; what
    // the key box listed, its state and tool tip are kept.
    void OkInMailSecurity(QStringList& listed, bool& enabled, QString& tip) {
        WhenModal::Next<TSetupDlg>([&](TSetupDlg& setup) {
            WhenModal::Next<TSecurityDlg>([&](TSecurityDlg& security) {
                for (int i = 0; i < security.SigningKeyBox->count(); ++i)
                    listed << security.SigningKeyBox->itemText(i);
                enabled = security.SigningKeyBox->isEnabled();
                tip = security.SigningKeyBox->toolTip();
                QTest::mouseClick(security.OKButton, Qt::LeftButton);
            });
            QTest::mouseClick(setup.SecurityButton, Qt::LeftButton);
            QTest::mouseClick(setup.OKButton, Qt::LeftButton);
        });
        d.form().findChild<QAction*>("Setup2")->trigger();
    }

    static QString jane, pat, old, card;
    LocalSmtpServer server;
    FormDriver d;
};
TestGnupgHome* SigningWindow::home = nullptr;
QString SigningWindow::jane, SigningWindow::pat, SigningWindow::old, SigningWindow::card;
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
    // "(none)", then the keys that can sign: not the expired one, not the stub whose only secret
    // part encrypts, not the key held twice; the card's key says so.
    ASSERT_EQ(listed.size(), 4) << listed.join('|').toStdString();
    EXPECT_EQ(listed[0], "(none)");
    EXPECT_TRUE(listed.join('|').contains("Jane Signer <jane@example.test> - " +
                                          jane.right(16).left(4) + " "));
    EXPECT_TRUE(listed.join('|').contains("(no expiry)"));
    EXPECT_TRUE(listed.contains("Card Key <card@example.test> - " + card.right(16).left(4) + " " +
                                card.right(12).left(4) + " " + card.right(8).left(4) + " " +
                                card.right(4) + " (no expiry) (on card)"))
        << listed.join('|').toStdString();
    for (const char* missing : {"Old Expired", "Stub Primary", "Twin Key"})
        EXPECT_FALSE(listed.join('|').contains(missing)) << missing;
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
    // The status line says the message went out signed, and by which key.
    EXPECT_EQ(d.Text("status"), "Connection closed; signed with 0x" + jane.right(16) +
                                    " (Jane Signer <jane@example.test>)");
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

TEST_F(SigningWindow, WithoutAnAgentTheKeyBoxSaysWhyAndOkKeepsTheStoredKey) {
    UseKey(jane);
    home->BreakAgent(true);
    QStringList listed;
    bool enabled = true;
    QString tip;
    OkInMailSecurity(listed, enabled, tip);
    home->BreakAgent(false);
    EXPECT_EQ(listed, QStringList({"(none)", jane + " (kept; the keys cannot be listed)"}));
    EXPECT_FALSE(enabled);
    // The kept key whole, then why no other can be chosen.
    EXPECT_EQ(tip, jane + " (kept; the keys cannot be listed)\n\nNo key can be chosen: can't "
                          "connect to the agent: Configuration error");
    EXPECT_EQ(d.form().findChild<TStore*>()->Settings().openPgpKey, jane);
    ASSERT_TRUE(d.form().FormClose());
    EXPECT_TRUE(ReadAll(ProgramSettings::Path()).contains("\r\nOpenPGP Key=" + jane.toUtf8()));

    // Without a stored key the box holds "(none)" alone, and OK stores none.
    TSigningKeyGroup group;
    home->BreakAgent(true);
    group.Load(QString());
    home->BreakAgent(false);
    EXPECT_EQ(group.SigningKeyBox->count(), 1);
    EXPECT_EQ(group.Fingerprint(), QString());
}
