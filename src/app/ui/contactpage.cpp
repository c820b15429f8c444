#include "app/ui/controls.h"
#include "app/ui/fieldstate.h"
#include "app/ui/pageparts.h"
#include "app/ui/pages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& title,
                     QGridLayout** grid) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    *grid = new QGridLayout(group);
    (*grid)->setContentsMargins(6, 2, 6, 4);
    (*grid)->setVerticalSpacing(1);
    return group;
}

void BuildAuthSheet(QWidget* sheet, TRecordPage& record) {
    auto* grid = new QGridLayout(sheet);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    const RadioSpec radios[3] = {
        {"NewContactRadio", "New Contact",
         "Select if this contact does not exists in the Internic's databases. (Check first)"},
        {"ModifyContactRadio", "Modify Contact",
         "Select if you are changing information on a contact (Address, Phone, E-Mail, etc.)"},
        {"DeleteContactRadio", "Delete Contact", "Select if you wish to delete a contact."},
    };
    grid->addWidget(MakeActionGroup(sheet, "ContactActionGroup", radios, record), 0, 0);

    QGridLayout* g = nullptr;
    QGroupBox* authorization = MakeGroup(sheet, "AuthorizationGroup", "Authorization", &g);
    SetFieldOpen(AddField(authorization, g, 0, 0, "ContactAuthorizationType",
                          "Authorization type for this contact according to the Internic's "
                          "Guardian"),
                 false);
    QWidget* info = AddField(authorization, g, 0, 1, "ContactAuthorizationInfo",
                             "Encrypted Password is using CRYPT-PW");
    SetFieldOpen(info, false);
    AddButtonBeside(info, "ContactMakeCryptButton", "Make...",
                    "Makes the encrypted password from the password you type (crypt(3)).");
    grid->addWidget(authorization, 0, 1);

    QGroupBox* notify = MakeGroup(sheet, "NotifyGroup", "Notify Information", &g);
    AddField(notify, g, 0, 0, "ContactNotifyUpdates", "Update Notification(F1 for details)");
    AddField(notify, g, 2, 0, "ContactNotifyUse", "Use Notification (F1 for details)");
    g->setRowStretch(4, 1);
    grid->addWidget(notify, 1, 0);

    QGroupBox* authentication = MakeGroup(sheet, "AuthenticationGroup", "Authentication ", &g);
    AddField(authentication, g, 0, 0, "ContactAuthenticationType",
             "If new contact, or changing Authentication type for an existing, enter the type "
             "(F1 for details)");
    QWidget* authInfo = AddField(authentication, g, 0, 1, "ContactAuthenticationInfo",
                                 "E-Mail address to prove MAIL-FROM, or Cryptic Password for "
                                 "CRYPT-PW");
    AddButtonBeside(authInfo, "ContactAuthMakeCryptButton", "Make...",
                    "Makes the encrypted password from the password you type (crypt(3)).");
    // The public flag has its own parent so that its radios exclude only each other.
    // Named, it reads as a grouping of its radios (unnamed, as a filler with the box's title).
    auto* publicity = new QWidget(authentication);
    publicity->setObjectName("PublicGroup");
    publicity->setAccessibleName("Auth Type to be made");
    auto* row = new QHBoxLayout(publicity);
    row->setContentsMargins(0, 4, 0, 0);
    row->addWidget(MakeLabel(publicity, "Auth Type to be made", "PublicLabel"));
    row->addWidget(
        MakeRadio(publicity, "PublicYesRadio", "Public", "Makes your selected Auth Type public"));
    row->addWidget(MakeRadio(publicity, "PublicNoRadio", "Confidential",
                             "Makes your selected Auth Type private", true));
    row->addStretch(1);
    g->addWidget(publicity, 2, 0, 1, 2);
    grid->addWidget(authentication, 1, 1);

    auto* name = new QGridLayout;
    name->setVerticalSpacing(1);
    record.nameBox = qobject_cast<QComboBox*>(
        AddField(sheet, name, 0, 0, "Contactname", "Enter the name of the contact"));
    grid->addLayout(name, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
}

void BuildContactSheet(QWidget* sheet) {
    auto* column = new QVBoxLayout(sheet);
    QGridLayout* block =
        MakeAddressBlock(sheet, {"ContactNicHandle", "ContactRole", "", "ContactOrgName",
                                 "ContactAddr", "ContactCity", "ContactState", "ContactZip",
                                 "ContactCountry", "ContactPhone", "ContactFax", "ContactMail"});
    column->addLayout(block);
    column->addStretch(1);
    SetFieldOpen(sheet->findChild<QWidget*>("ContactNicHandle"), false);
}

} // namespace

TRecordPage BuildContactPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* pages = new QTabWidget(page);
    pages->setObjectName("PageControl4");
    layout->addWidget(pages);
    TRecordPage record;
    record.kind = RecordKind::Contact;
    BuildAuthSheet(AddSheet(pages, "ContactAuthSheet", "Authorization, Notify && Authentication"),
                   record);
    BuildContactSheet(AddSheet(pages, "ContactInfoSheet", "Contact", "Information on the contact"));
    BuildMemoReviewSheet(
        AddSheet(pages, "ContactReviewSheet", "Review && Submit"),
        {"Memo3", "Contact template", "ContactReviewPanel", "Cstatus", "Cmailprogress"},
        {{"ContactShowForm", "Show Form", "Shows the form that will be sent to the Internic."},
         {"ContactMailtoNic", "Mail to NIC", "Mails the application to the Internic"},
         {"ContactClear", "Clear All", "Clears all info on previous tabs."},
         {"ContactDefaultButton", "Save as Default", "Saves info on previous tabs as default."},
         {"ContactPrint", "Print", nullptr}},
        record);
    return record;
}
