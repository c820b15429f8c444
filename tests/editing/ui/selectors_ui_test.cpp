#include "editing/ui/formfields.h"
#include "support/ui/formdriver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const char* kHostQuestion = "You just chose to DELETE a host.  Is this what you really want to do?";
} // namespace

TEST(ActionSelectorsUi, HostModifyThenDeclinedDeleteClosesTheHandleAndChecksNew) {
    FormDriver d;
    EXPECT_FALSE(d.IsOpen("HostNicHandle"));
    d.Click("ModifyHostRadio");
    EXPECT_TRUE(d.IsOpen("HostNicHandle"));
    d.Type("HostNicHandle", "HST-1");
    d.boxes().AnswerNext(false);
    d.Click("DeleteHostRadio");
    EXPECT_EQ(d.boxes().Texts("warning"), QStringList({kHostQuestion}));
    EXPECT_TRUE(d.IsChecked("NewHostRadio"));
    EXPECT_FALSE(d.IsChecked("DeleteHostRadio"));
    EXPECT_FALSE(d.IsOpen("HostNicHandle"));
    EXPECT_EQ(d.Text("HostNicHandle"), "HST-1"); // closed fields keep their text

    // Closing the question with the box's close button is not a No: Delete stays checked.
    d.boxes().AnswerNext(BoxAnswer::Closed);
    d.Click("DeleteHostRadio");
    EXPECT_TRUE(d.IsChecked("DeleteHostRadio"));
    EXPECT_TRUE(d.IsOpen("HostNicHandle"));
    EXPECT_EQ(d.boxes().Captions("warning"), QStringList(2, "Warning"));
    // Clicking the checked Delete again asks nothing.
    d.Click("DeleteHostRadio");
    EXPECT_EQ(d.boxes().Texts("warning").size(), 2);
}

TEST(ActionSelectorsUi, DomainDeleteAsksAndNoGoesBackToNew) {
    FormDriver d;
    d.boxes().AnswerNext(false);
    d.Click("DeleteDomainRadio");
    EXPECT_EQ(d.boxes().Texts("warning"),
              QStringList({"You just chose to DELETE a domain.  Is this what you really want to "
                           "do?"}));
    EXPECT_TRUE(d.IsChecked("NewDomainRadio"));
    d.boxes().AnswerNext(true);
    d.Click("DeleteDomainRadio");
    EXPECT_TRUE(d.IsChecked("DeleteDomainRadio"));
    d.Click("ModifyDomainRadio");
    EXPECT_EQ(d.boxes().Texts("warning").size(), 2);
    EXPECT_FALSE(d.IsOpen("AuthInfoEdit"));
}

TEST(ActionSelectorsUi, ContactModifyWithMailFromKeepsTheInfoClosedAndDeleteOpensIt) {
    FormDriver d;
    // As a loaded record would: text set by code, no reaction.
    PlaceFieldText(d.form(), "ContactAuthorizationType", "MAIL-FROM");
    PlaceFieldText(d.form(), "ContactRole", "I");
    d.Click("ModifyContactRadio");
    EXPECT_TRUE(d.IsOpen("ContactAuthorizationType"));
    EXPECT_TRUE(d.IsOpen("ContactNicHandle"));
    EXPECT_TRUE(d.IsOpen("ContactRole"));
    EXPECT_FALSE(d.IsOpen("ContactAuthorizationInfo"));

    d.boxes().AnswerNext(true);
    d.Click("DeleteContactRadio");
    EXPECT_EQ(d.boxes().Texts("warning"),
              QStringList({"You just chose to DELETE a contact.  Is this what you really want to "
                           "do?"}));
    EXPECT_TRUE(d.IsOpen("ContactAuthorizationInfo"));

    d.Click("NewContactRadio");
    EXPECT_FALSE(d.IsOpen("ContactAuthorizationInfo"));
    EXPECT_FALSE(d.IsOpen("ContactAuthorizationType"));
    EXPECT_FALSE(d.IsOpen("ContactNicHandle"));
    EXPECT_TRUE(d.IsOpen("ContactRole"));
    EXPECT_EQ(d.Text("ContactAuthorizationType"), "MAIL-FROM");
}

TEST(ActionSelectorsUi, DeclinedContactDeleteLeavesNewModeAsAtStart) {
    FormDriver d;
    d.Click("ModifyContactRadio");
    d.boxes().AnswerNext(false);
    d.Click("DeleteContactRadio");
    EXPECT_TRUE(d.IsChecked("NewContactRadio"));
    for (const char* closed :
         {"ContactAuthorizationInfo", "ContactAuthorizationType", "ContactNicHandle"})
        EXPECT_FALSE(d.IsOpen(closed)) << closed;
    EXPECT_TRUE(d.IsOpen("ContactRole"));
    EXPECT_TRUE(d.IsOpen("ContactAuthenticationInfo"));
}

TEST(ActionSelectorsUi, ReactionsRunWhenCodeChecksARadio) {
    FormDriver d;
    d.form().Control<QRadioButton>("ModifyHostRadio")->setChecked(true);
    EXPECT_TRUE(d.IsOpen("HostNicHandle"));
    d.boxes().AnswerNext(false);
    d.form().Control<QRadioButton>("DeleteContactRadio")->setChecked(true);
    EXPECT_EQ(d.boxes().Texts("warning").size(), 1);
    EXPECT_TRUE(d.IsChecked("NewContactRadio"));
}

TEST(SchemeSelectorsUi, LowerCaseTypingChangesNothingAndTheLastLetterOfCryptPwOpens) {
    FormDriver d;
    auto* box = d.form().Control<QComboBox>("AuthScheme");
    PlaceFieldText(d.form(), "AuthScheme", "");
    d.Type("AuthScheme", "crypt-pw");
    EXPECT_EQ(d.Text("AuthScheme"), "crypt-pw");
    EXPECT_FALSE(d.IsOpen("AuthInfoEdit"));
    EXPECT_EQ(d.Caption("AuthInfoEditLabel"), "Authorization Info");

    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
    d.Type("AuthScheme", "CRYPT-P");
    EXPECT_FALSE(d.IsOpen("AuthInfoEdit"));
    d.Type("AuthScheme", "W");
    EXPECT_TRUE(d.IsOpen("AuthInfoEdit"));
    EXPECT_EQ(d.Caption("AuthInfoEditLabel"), "Password");
    d.Type("AuthInfoEdit", "pw");
    // One more letter is no scheme name: nothing changes.
    d.Type("AuthScheme", "X");
    EXPECT_TRUE(d.IsOpen("AuthInfoEdit"));
    EXPECT_EQ(d.Caption("AuthInfoEditLabel"), "Password");
    EXPECT_EQ(d.Text("AuthInfoEdit"), "pw");
}

TEST(SchemeSelectorsUi, ListPicksRelabelAndNeverReturnToTheInitialCaption) {
    FormDriver d;
    d.Pick("HostAuthScheme", "PGP");
    EXPECT_EQ(d.Caption("HostAuthInfoLabel"), "n/a");
    EXPECT_FALSE(d.IsOpen("HostAuthInfo"));
    d.Pick("HostAuthScheme", "CRYPT-PW");
    EXPECT_EQ(d.Caption("HostAuthInfoLabel"), "Password");
    EXPECT_TRUE(d.IsOpen("HostAuthInfo"));
    d.Type("HostAuthInfo", "pw");
    d.Pick("HostAuthScheme", "MAIL-FROM");
    EXPECT_EQ(d.Caption("HostAuthInfoLabel"), "n/a");
    EXPECT_FALSE(d.IsOpen("HostAuthInfo"));
    EXPECT_EQ(d.Text("HostAuthInfo"), "pw");

    d.Click("ModifyContactRadio");
    d.Pick("ContactAuthorizationType", "CRYPT-PW");
    EXPECT_EQ(d.Caption("ContactAuthorizationInfoLabel"), "Password");
    EXPECT_TRUE(d.IsOpen("ContactAuthorizationInfo"));
    // The domain's own box and field were never touched.
    EXPECT_EQ(d.Caption("AuthInfoEditLabel"), "Authorization Info");
    EXPECT_FALSE(d.IsOpen("AuthInfoEdit"));
}

TEST(SchemeSelectorsUi, AuthenticationTypeOnlyRelabelsItsAlwaysOpenField) {
    FormDriver d;
    EXPECT_EQ(d.Caption("ContactAuthenticationInfoLabel"), "E-Mail Address");
    d.Pick("ContactAuthenticationType", "CRYPT-PW");
    EXPECT_EQ(d.Caption("ContactAuthenticationInfoLabel"), "Encrypted Password");
    d.Pick("ContactAuthenticationType", "PGP");
    EXPECT_EQ(d.Caption("ContactAuthenticationInfoLabel"), "Public PGP Key ID");
    EXPECT_TRUE(d.IsOpen("ContactAuthenticationInfo"));
    PlaceFieldText(d.form(), "ContactAuthenticationType", "");
    d.Type("ContactAuthenticationType", "MAIL-FROM");
    EXPECT_EQ(d.Caption("ContactAuthenticationInfoLabel"), "E-Mail Address");
    EXPECT_TRUE(d.IsOpen("ContactAuthenticationInfo"));
    EXPECT_FALSE(d.IsOpen("ContactAuthorizationInfo"));
}

TEST(SchemeSelectorsUi, TextSetByCodeRunsNoReaction) {
    FormDriver d;
    PlaceFieldText(d.form(), "AuthScheme", "CRYPT-PW");
    PlaceFieldText(d.form(), "ContactAuthenticationType", "PGP");
    EXPECT_FALSE(d.IsOpen("AuthInfoEdit"));
    EXPECT_EQ(d.Caption("AuthInfoEditLabel"), "Authorization Info");
    EXPECT_EQ(d.Caption("ContactAuthenticationInfoLabel"), "E-Mail Address");
}
