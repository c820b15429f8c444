#include "editing/clearall.h"
#include "support/ui/formdriver.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

namespace {
bool AllEmpty(FormDriver& d, RecordKind kind) {
    for (const QString& f : ClearAllFields(kind))
        if (!d.Text(f).isEmpty()) return false;
    return true;
}
} // namespace

TEST(ClearAllUi, ContactClearAllLeavesRadiosCaptionsAndOpenFieldsAlone) {
    FormDriver d;
    d.Click("ModifyContactRadio");
    d.Pick("ContactAuthorizationType", "CRYPT-PW");
    d.Pick("ContactAuthenticationType", "PGP");
    d.Click("PublicYesRadio");
    d.Type("ContactAuthorizationInfo", "secret");
    d.Type("Contactname", "jd");
    d.Type("ContactMail", "jd@example.com");
    d.Click("ContactClear");
    EXPECT_TRUE(AllEmpty(d, RecordKind::Contact));
    EXPECT_TRUE(d.IsChecked("ModifyContactRadio"));
    EXPECT_TRUE(d.IsChecked("PublicYesRadio"));
    EXPECT_EQ(d.Caption("ContactAuthorizationInfoLabel"), "Password");
    EXPECT_EQ(d.Caption("ContactAuthenticationInfoLabel"), "Public PGP Key ID");
    for (const char* open : {"ContactAuthorizationType", "ContactAuthorizationInfo",
                             "ContactNicHandle", "ContactRole"})
        EXPECT_TRUE(d.IsOpen(open)) << open;
    // An emptied selector has no item selected, so no old pick reaches the template.
    auto* type = d.form().Control<QComboBox>("ContactAuthorizationType");
    EXPECT_EQ(type->currentIndex(), -1);
    EXPECT_EQ(type->count(), 3);
    EXPECT_TRUE(d.boxes().shown().empty());
}

TEST(ClearAllUi, HostClearAllKeepsClosedFieldsClosedAndTheNameListWhole) {
    FormDriver d;
    auto* names = d.form().Control<QComboBox>("HostName");
    names->addItems({"ns1.example.com", "ns2.example.com"});
    d.Type("HostName", "ns1.example.com");
    d.Type("HostIPAddress", "192.0.2.1");
    d.Type("HCName", "Jo");
    d.Click("HostCancel");
    EXPECT_TRUE(AllEmpty(d, RecordKind::Host));
    EXPECT_EQ(names->count(), 2);
    EXPECT_TRUE(d.IsChecked("NewHostRadio"));
    EXPECT_FALSE(d.IsOpen("HostNicHandle"));
    EXPECT_FALSE(d.IsOpen("HostAuthInfo"));
    EXPECT_EQ(d.Caption("HostAuthInfoLabel"), "Authorization Info");
    // Typing the name creates the kind folder to look for its record; no file is written.
    EXPECT_TRUE(QDir::current().entryList(QDir::NoDotAndDotDot | QDir::Files).isEmpty());
    EXPECT_TRUE(QDir("hosts").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(ClearAllUi, DomainReviewShowsOldValuesUntilTheNextSubTabChange) {
    FormDriver d;
    d.Type("DomainNameEdit", "example.com");
    d.Type("OOrgNameEdit", "Example Org");
    d.ClickTab("PageControl2", "Review && Submit");
    auto* review = d.form().Control<QLabel>("rdomain");
    ASSERT_TRUE(review);
    EXPECT_EQ(review->text(), "example.com");
    d.Click("BitBtn2");
    EXPECT_TRUE(AllEmpty(d, RecordKind::Domain));
    EXPECT_EQ(review->text(), "example.com");
    EXPECT_TRUE(d.IsChecked("NewDomainRadio"));
    EXPECT_FALSE(d.IsOpen("AuthInfoEdit"));
    d.ClickTab("PageControl2", "Org");
    d.ClickTab("PageControl2", "Review && Submit");
    EXPECT_NE(review->text(), "example.com");
}
