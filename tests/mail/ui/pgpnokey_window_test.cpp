// A PGP page with no key to sign with: nothing is mailed, so the name-server check is not run; the
// box says where a key is chosen and its button goes there.
#include "mail/mssmtp.h"
#include "mail/ui/securitydlg.h"
#include "nscheck/ui/nscheckdlg.h"
#include "store/setupsettings.h"
#include "support/ui/formdriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(PgpWithoutKey, NoCheckRunsAndTheBoxsButtonOpensMailSecurity) {
    FormDriver d;
    ChangeSettings(d.form(), [](SetupSettings& s) { s.server = "mail.example.test"; });
    d.Type("DomainNameEdit", "example.test");
    d.Type("PriNSEdit", "ns1.hosts.test");
    d.Pick("AuthScheme", "PGP");
    d.Click("CheckBeforeMailBox");
    ASSERT_TRUE(d.form().findChild<QCheckBox*>("CheckBeforeMailBox")->isChecked());
    d.boxes().AnswerNext(true); // the confirmation
    d.boxes().PressButtonNext();
    bool securityOpened = false;
    WhenModal::Next<TSecurityDlg>([&](TSecurityDlg& security) {
        securityOpened = security.SigningKeyBox->isVisible();
        QTest::mouseClick(security.CancelButton, Qt::LeftButton);
    });

    d.Click("BitBtn1");

    EXPECT_EQ(d.form().findChild<TNSCheckDlg*>(), nullptr);
    EXPECT_EQ(d.boxes().Texts("information"),
              QStringList{"You have selected PGP as your Authorization type. If you wish to use "
                          "PGP Encryption, cut and paste the form out of the window and use PGP "
                          "software to mail it. To sign inside the program, choose an OpenPGP key "
                          "in File > Setup > Security."});
    EXPECT_TRUE(securityOpened);
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join('|').toStdString();
}
