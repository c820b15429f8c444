// The registration pages as designed: every control by name and type, with its caption, label,
// hint, limit and initial state.
#include "app/ui/fieldstate.h"
#include "app/ui/statusline.h"
#include "app/ui/typinglimit.h"
#include "designpages.h"
#include "templates/recordmodel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {
std::string S(const QString& s) {
    return s.toStdString();
}
} // namespace

TEST(DesignedPages, EveryRecordFieldHasItsControlLabelAndLimit) {
    DesignPages pages;
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact}) {
        for (const FieldInfo& f : RecordFields(kind)) {
            SCOPED_TRACE(S(f.control));
            QWidget* w = pages.Get<QWidget>(f.control);
            ASSERT_NE(w, nullptr);
            switch (f.type) {
            case FieldType::Text: {
                auto* edit = qobject_cast<QLineEdit*>(w);
                ASSERT_NE(edit, nullptr);
                EXPECT_EQ(TypingLimit(edit), f.limit);
                EXPECT_EQ(edit->text(), "");
                break;
            }
            case FieldType::Memo:
                EXPECT_NE(qobject_cast<QPlainTextEdit*>(w), nullptr);
                break;
            case FieldType::Selector:
            case FieldType::NameBox: {
                auto* box = qobject_cast<QComboBox*>(w);
                ASSERT_NE(box, nullptr);
                EXPECT_TRUE(box->isEditable());
                EXPECT_EQ(box->currentIndex(), -1);
                break;
            }
            }
            auto* label = pages.Get<QLabel>(f.control + "Label");
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(S(label->text()), S(f.label));
            EXPECT_EQ(label->buddy(), w);
        }
    }
}

TEST(DesignedPages, SelectorsShowTheirFirstItemWithNoItemSelected) {
    DesignPages pages;
    for (const char* name :
         {"AuthScheme", "HostAuthScheme", "ContactAuthorizationType", "ContactAuthenticationType",
          "ContactNotifyUpdates", "ContactNotifyUse"}) {
        SCOPED_TRACE(name);
        auto* box = pages.Get<QComboBox>(name);
        ASSERT_NE(box, nullptr);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        EXPECT_EQ(items, SelectorItems(name));
        EXPECT_EQ(box->currentText(), SelectorItems(name).first());
        EXPECT_EQ(box->currentIndex(), -1);
        EXPECT_EQ(box->insertPolicy(), QComboBox::NoInsert);
        EXPECT_EQ(box->completer(), nullptr);
    }
    for (const char* name : {"DomainNameEdit", "HostName", "Contactname"}) {
        auto* box = pages.Get<QComboBox>(name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->count(), 0) << name;
        EXPECT_EQ(box->currentText(), "") << name;
    }
}

TEST(DesignedPages, RadiosStartWithNewAndConfidentialCheckedInSeparateGroups) {
    DesignPages pages;
    const char* checked[] = {"NewDomainRadio", "NewHostRadio", "NewContactRadio", "PublicNoRadio"};
    const char* unchecked[] = {"ModifyDomainRadio", "DeleteDomainRadio",  "ModifyHostRadio",
                               "DeleteHostRadio",   "ModifyContactRadio", "DeleteContactRadio",
                               "PublicYesRadio"};
    for (const char* name : checked)
        EXPECT_TRUE(pages.Get<QRadioButton>(name)->isChecked()) << name;
    for (const char* name : unchecked)
        EXPECT_FALSE(pages.Get<QRadioButton>(name)->isChecked()) << name;
    // Checking a public radio leaves the action radios of the same tab alone.
    pages.Get<QRadioButton>("PublicYesRadio")->setChecked(true);
    EXPECT_TRUE(pages.Get<QRadioButton>("NewContactRadio")->isChecked());
    EXPECT_FALSE(pages.Get<QRadioButton>("PublicNoRadio")->isChecked());
    pages.Get<QRadioButton>("DeleteContactRadio")->setChecked(true);
    EXPECT_TRUE(pages.Get<QRadioButton>("PublicYesRadio")->isChecked());
    EXPECT_FALSE(pages.Get<QRadioButton>("NewContactRadio")->isChecked());
}

TEST(DesignedPages, ClosedFieldsAreDisabledAndSilver) {
    DesignPages pages;
    for (const char* name :
         {"AuthInfoEdit", "HostAuthInfo", "HostNicHandle", "ContactAuthorizationType",
          "ContactAuthorizationInfo", "ContactNicHandle"}) {
        QWidget* w = pages.Get<QWidget>(name);
        EXPECT_FALSE(w->isEnabled()) << name;
        EXPECT_EQ(w->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0)) << name;
        EXPECT_FALSE(IsFieldOpen(w)) << name;
    }
    for (const char* name : {"ContactRole", "ContactAuthenticationInfo", "HostIPAddress",
                             "AuthScheme", "DomainNameEdit"})
        EXPECT_TRUE(IsFieldOpen(pages.Get<QWidget>(name))) << name;
    // Opening a field gives it the normal window colour back.
    QWidget* info = pages.Get<QWidget>("AuthInfoEdit");
    SetFieldOpen(info, true);
    EXPECT_TRUE(info->isEnabled());
    EXPECT_NE(info->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
}

TEST(DesignedPages, ControlsCarryTheirCaptionsAndHints) {
    DesignPages pages;
    struct Expect {
        const char* name;
        const char* caption;
        const char* hint;
    };
    const Expect radios[] = {
        {"NewDomainRadio", "New Domain", "For new domain registration"},
        {"ModifyDomainRadio", "Modify Domain", "For existing domain modification"},
        {"DeleteDomainRadio", "Delete Domain", "for deleting an existing domain"},
        {"NewHostRadio", "New Host", "Select if this host is not yet registered"},
        {"ModifyHostRadio", "Modify Host",
         "Select if you are modifying information for this host (IP#)"},
        {"DeleteHostRadio", "Delete Host",
         "Select if you wish to delete this host from the Internic's databases."},
        {"NewContactRadio", "New Contact",
         "Select if this contact does not exists in the Internic's databases. (Check first)"},
        {"ModifyContactRadio", "Modify Contact",
         "Select if you are changing information on a contact (Address, Phone, E-Mail, etc.)"},
        {"DeleteContactRadio", "Delete Contact", "Select if you wish to delete a contact."},
        {"PublicYesRadio", "Public", "Makes your selected Auth Type public"},
        {"PublicNoRadio", "Confidential", "Makes your selected Auth Type private"},
    };
    for (const Expect& e : radios) {
        auto* r = pages.Get<QRadioButton>(e.name);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(S(r->text()), e.caption);
        EXPECT_EQ(S(r->toolTip()), e.hint);
    }
    const Expect buttons[] = {
        {"BitBtn3", "Clear", ""},
        {"ShowForm", "Show Form", "Shows the form that will be sent to the Internic."},
        {"BitBtn1", "Send to Internic", "Mails application to the Internic"},
        {"BitBtn2", "Clear All", "Clears all entries on previous tabs."},
        {"DomainDefultButton", "Save as Default",
         "Saves all entries on previous tabs as defaults."},
        {"BitBtn4", "Print", ""},
        {"HostShowForm", "Show Form", "Shows the form as it will be sent to the Internic."},
        {"HostMailtoNic", "Mail to InterNIC", "Mails the application to the Internic."},
        {"HostCancel", "Clear All", "Clears all previous tab settings."},
        {"HostDefaultButton", "Save as Default", "Saves all previous tab settings as default."},
        {"HostPrint", "Print", ""},
        {"ContactShowForm", "Show Form", "Shows the form that will be sent to the Internic."},
        {"ContactMailtoNic", "Mail to NIC", "Mails the application to the Internic"},
        {"ContactClear", "Clear All", "Clears all info on previous tabs."},
        {"ContactDefaultButton", "Save as Default", "Saves info on previous tabs as default."},
        {"ContactPrint", "Print", ""},
        {"O1", "Copy to Admin", ""},
        {"O2", "Copy to Tech", ""},
        {"O3", "Copy to Billing", ""},
        {"O4", "Copy to ALL", ""},
        {"O5", "Copy From Admin", ""},
        {"O6", "Copy From Tech", ""},
        {"O7", "Copy From Billing", ""},
        {"O8", "Clear", ""},
        {"A1", "Copy to Org", ""},
        {"A2", "Copy to Tech", ""},
        {"A3", "Copy to Billing", ""},
        {"A4", "Copy to ALL", ""},
        {"A5", "Copy From Org", ""},
        {"A6", "Copy From Tech", ""},
        {"A7", "Copy From Billing", ""},
        {"A8", "Clear", ""},
        {"T1", "Copy to Org", ""},
        {"T2", "Copy to Admin", ""},
        {"T3", "Copy to Billing", ""},
        {"T4", "Copy to ALL", ""},
        {"T5", "Copy From Org", ""},
        {"T6", "Copy From Admin", ""},
        {"T7", "Copy From Billing", ""},
        {"T8", "Clear", ""},
        {"B1", "Copy to Org", ""},
        {"B2", "Copy to Admin", ""},
        {"B3", "Copy to Tech", ""},
        {"B4", "Copy to ALL", ""},
        {"B5", "Copy From Org", ""},
        {"B6", "Copy From Admin", ""},
        {"BitBtn32", "Copy From Tech", ""},
        {"BitBtn33", "Clear", ""},
    };
    for (const Expect& e : buttons) {
        auto* b = pages.Get<QPushButton>(e.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(S(b->text()), e.caption) << e.name;
        EXPECT_EQ(S(b->toolTip()), e.hint) << e.name;
    }
    const Expect fieldHints[] = {
        {"AuthScheme", "",
         "The authorization scheme for the Internic's Guardian System (F1 for more info)"},
        {"AuthInfoEdit", "", "Password for CRYPT-PW Authorization"},
        {"PurposeEdit", "", "A short note explaining the intentions for this domain"},
        {"HostAuthScheme", "",
         "Authorization type for the domain that has authority over this host."},
        {"HostAuthInfo", "", "Encrypted Password is you are using CRYPT-PW"},
        {"HostNicHandle", "", "Enter the Host's NIC handle is this is a modify or delete."},
        {"HostIPAddress", "", "IP Number for this host"},
        {"ContactAuthorizationType", "",
         "Authorization type for this contact according to the Internic's Guardian"},
        {"ContactAuthorizationInfo", "", "Encrypted Password is using CRYPT-PW"},
        {"ContactNotifyUpdates", "", "Update Notification(F1 for details)"},
        {"ContactNotifyUse", "", "Use Notification (F1 for details)"},
        {"ContactAuthenticationType", "",
         "If new contact, or changing Authentication type for an existing, enter the type (F1 "
         "for details)"},
        {"ContactAuthenticationInfo", "",
         "E-Mail address to prove MAIL-FROM, or Cryptic Password for CRYPT-PW"},
        {"Contactname", "", "Enter the name of the contact"},
        {"AuthInfoEditLabel", "",
         "If you chose CRYPT-PW for Authorization, enter the encrypted password here."},
    };
    for (const Expect& e : fieldHints)
        EXPECT_EQ(S(pages.Get<QWidget>(e.name)->toolTip()), e.hint) << e.name;
    EXPECT_TRUE(pages.Get<QWidget>("AuthSchemeLabel")
                    ->toolTip()
                    .startsWith("MAIL-TO:  All changes to this domain will have to be made from"));
    for (const char* name : {"DomainNameEdit", "HostName"}) {
        const QString hint = pages.Get<QWidget>(name)->toolTip();
        EXPECT_TRUE(hint.startsWith("Enter the ")) << name;
        EXPECT_TRUE(hint.contains(" name you wish to edit (Example: ")) << name;
        EXPECT_TRUE(hint.endsWith(")")) << name;
    }
    EXPECT_EQ(S(pages.Get<QLabel>("PublicLabel")->text()), "Auth Type to be made");
}

TEST(DesignedPages, ReviewControlsStartEmptyOrWithTheirPlaceholders) {
    DesignPages pages;
    QStringList values{"rdomain",  "rregtype", "rauthscheme", "rauthinfo",  "rorgname",
                       "rorgaddr", "rorgcity", "rorgstate",   "rorgpostal", "rorgcountry"};
    for (const char* block : {"radmin", "rtech", "rbilling"})
        for (const char* stem : {"name", "email", "handle", "type", "org", "phone", "addr", "fax",
                                 "city", "state", "postal", "country"})
            values << QString(block) + stem;
    for (int i = 1; i <= 4; ++i)
        values << QString("rns%1").arg(i) << QString("rns%1ip").arg(i);
    for (const QString& name : values) {
        auto* label = pages.Get<QLabel>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), "n/a") << S(name);
        EXPECT_EQ(label->font().pointSize(), 7) << S(name);
    }
    for (const char* name : {"status", "hoststatus", "Cstatus"})
        EXPECT_EQ(pages.Get<TStatusLine>(name)->text(), "status...") << name;
    for (const char* name : {"MailProgress", "HostMailProgress", "Cmailprogress"}) {
        auto* bar = pages.Get<QProgressBar>(name);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->value(), 0);
    }
    auto* print = pages.Get<QPlainTextEdit>("Memo1");
    EXPECT_TRUE(print->isHidden());
    EXPECT_EQ(print->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(print->toPlainText(), "");
    for (const char* name : {"Memo2", "Memo3"}) {
        auto* memo = pages.Get<QPlainTextEdit>(name);
        EXPECT_TRUE(memo->isReadOnly()) << name;
        EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap) << name;
        EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn) << name;
        EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn) << name;
        EXPECT_EQ(memo->font().pointSize(), 8) << name;
        EXPECT_EQ(memo->font().family(), "Courier") << name;
        EXPECT_EQ(memo->toPlainText(), "") << name;
    }
}

TEST(DesignedPages, NestedTabsHaveTheirNamesCaptionsAndHints) {
    DesignPages pages;
    struct Sheet {
        const char* control;
        int index;
        const char* name;
        const char* caption;
        const char* hint;
    };
    const Sheet sheets[] = {
        {"PageControl2", 0, "DomainTypeSheet", "Type", ""},
        {"PageControl2", 1, "DomainOrgSheet", "Org",
         "Information about the organization that will own this domain"},
        {"PageControl2", 2, "DomainAdminSheet", "Admin",
         "Information about the Domain Administrator"},
        {"PageControl2", 3, "DomainTechSheet", "Technical",
         "Information about the domain's Technical Contact"},
        {"PageControl2", 4, "DomainBillingSheet", "Billing",
         "Information about the party responsible for paying Internic Fees"},
        {"PageControl2", 5, "DomainNameServersSheet", "Name Servers",
         "All domains must have at least a PRIMARY and SECONDARY name server.  The servers should "
         "be configured for the domain BEFORE you register it!!!"},
        {"PageControl2", 6, "DomainReviewSheet", "Review && Submit",
         "Be sure all information is accurate and you have configured your DNS servers BEFORE "
         "mailing to the Internic."},
        {"PageControl3", 0, "HostTypeSheet", "Type && Host", ""},
        {"PageControl3", 1, "HostContactSheet", "Host Contact",
         "Information on the primary contact for this host"},
        {"PageControl3", 2, "HostReviewSheet", "Review && Submit", ""},
        {"PageControl4", 0, "ContactAuthSheet", "Authorization, Notify && Authentication", ""},
        {"PageControl4", 1, "ContactInfoSheet", "Contact", "Information on the contact"},
        {"PageControl4", 2, "ContactReviewSheet", "Review && Submit", ""},
    };
    for (const Sheet& s : sheets) {
        auto* tabs = pages.Get<QTabWidget>(s.control);
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(tabs->currentIndex(), 0);
        ASSERT_LT(s.index, tabs->count());
        EXPECT_EQ(S(tabs->widget(s.index)->objectName()), s.name);
        EXPECT_EQ(S(tabs->tabText(s.index)), s.caption);
        EXPECT_EQ(S(tabs->widget(s.index)->toolTip()), s.hint);
        EXPECT_EQ(S(tabs->tabToolTip(s.index)), s.hint);
    }
    EXPECT_EQ(pages.Get<QTabWidget>("PageControl2")->count(), 7);
    EXPECT_EQ(pages.Get<QTabWidget>("PageControl3")->count(), 3);
    EXPECT_EQ(pages.Get<QTabWidget>("PageControl4")->count(), 3);
}

TEST(DesignedPages, ControlsSitOnTheTabTheyBelongTo) {
    DesignPages pages;
    auto on = [&](const char* sheet, const char* control) {
        auto* s = pages.Get<QWidget>(sheet);
        return s && s->findChild<QWidget*>(control) != nullptr;
    };
    EXPECT_TRUE(on("DomainTypeSheet", "AuthScheme"));
    EXPECT_TRUE(on("DomainTypeSheet", "DomainNameEdit"));
    EXPECT_TRUE(on("DomainOrgSheet", "O8"));
    EXPECT_TRUE(on("DomainOrgSheet", "OCountryEdit"));
    EXPECT_TRUE(on("DomainAdminSheet", "AMailEdit"));
    EXPECT_TRUE(on("DomainTechSheet", "T5"));
    EXPECT_TRUE(on("DomainBillingSheet", "BitBtn33"));
    EXPECT_TRUE(on("DomainNameServersSheet", "BitBtn3"));
    EXPECT_TRUE(on("DomainNameServersSheet", "fourthnsipedit"));
    EXPECT_TRUE(on("DomainReviewSheet", "rns4ip"));
    EXPECT_TRUE(on("DomainReviewSheet", "MailProgress"));
    EXPECT_TRUE(on("HostTypeSheet", "HostNicHandle"));
    EXPECT_TRUE(on("HostContactSheet", "HCMail"));
    EXPECT_TRUE(on("HostReviewSheet", "Memo2"));
    EXPECT_TRUE(on("ContactAuthSheet", "Contactname"));
    EXPECT_TRUE(on("ContactAuthSheet", "PublicNoRadio"));
    EXPECT_TRUE(on("ContactInfoSheet", "ContactNicHandle"));
    EXPECT_TRUE(on("ContactReviewSheet", "Cmailprogress"));
    EXPECT_FALSE(on("DomainAdminSheet", "TMailEdit"));
    // The group titles the contact tab's labels refer to.
    EXPECT_EQ(pages.Get<QGroupBox>("AuthorizationGroup")->title(), "Authorization");
    EXPECT_EQ(pages.Get<QGroupBox>("NotifyGroup")->title(), "Notify Information");
    EXPECT_EQ(pages.Get<QGroupBox>("AuthenticationGroup")->title(), "Authentication ");
    auto* authentication = pages.Get<QGroupBox>("AuthenticationGroup");
    for (const char* control : {"ContactAuthenticationType", "ContactAuthenticationInfo",
                                "PublicYesRadio", "PublicNoRadio", "PublicLabel"})
        EXPECT_TRUE(authentication->findChild<QWidget*>(control)) << control;
    EXPECT_TRUE(pages.Get<QGroupBox>("NotifyGroup")->findChild<QWidget*>("ContactNotifyUse"));
}
