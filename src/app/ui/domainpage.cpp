#include "app/ui/controls.h"
#include "app/ui/fieldstate.h"
#include "app/ui/pageparts.h"
#include "app/ui/pages.h"
#include "app/ui/reviewlabels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const char* kSchemeHelp =
    "MAIL-TO:  All changes to this domain will have to be made from the e-mail address of the "
    "Admin or Technical contact.  CRYPT-PW: All changes to this domain must include the cryptic "
    "password associated with the contact.  PGP:  Changes must bePGP Encrypted";

void BuildTypeSheet(QWidget* sheet, TRecordPage& record) {
    auto* grid = new QGridLayout(sheet);
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(12);
    const RadioSpec radios[3] = {
        {"NewDomainRadio", "New Domain", "For new domain registration"},
        {"ModifyDomainRadio", "Modify Domain", "For existing domain modification"},
        {"DeleteDomainRadio", "Delete Domain", "for deleting an existing domain"},
    };
    grid->addWidget(MakeActionGroup(sheet, "DomainActionGroup", radios, record), 0, 0, 4, 1);
    AddField(sheet, grid, 0, 1, "AuthScheme",
             "The authorization scheme for the Internic's Guardian System (F1 for more info)");
    sheet->findChild<QLabel*>(LabelName("AuthScheme"))->setToolTip(kSchemeHelp);
    QWidget* info =
        AddField(sheet, grid, 2, 1, "AuthInfoEdit", "Password for CRYPT-PW Authorization");
    SetFieldOpen(info, false);
    AddButtonBeside(info, "MakeCryptButton", "Make...",
                    "Makes the encrypted password from the password you type (crypt(3)).");
    sheet->findChild<QLabel*>(LabelName("AuthInfoEdit"))
        ->setToolTip("If you chose CRYPT-PW for Authorization, enter the encrypted password here.");
    record.nameBox = qobject_cast<QComboBox*>(
        AddField(sheet, grid, 4, 0, "DomainNameEdit",
                 "Enter the domain name you wish to edit (Example: example.com)", 2));
    AddField(sheet, grid, 6, 0, "PurposeEdit",
             "A short note explaining the intentions for this domain", 2);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(1, 1);
}

// The Org sheet: the organization's six fields and the copy panel.
void BuildOrgSheet(QWidget* sheet) {
    auto* row = new QHBoxLayout(sheet);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(8);
    AddField(sheet, grid, 0, 0, "OOrgNameEdit", QString(), 2);
    AddField(sheet, grid, 2, 0, "OAddrEdit", QString(), 2);
    AddField(sheet, grid, 4, 0, "OCityEdit");
    AddField(sheet, grid, 4, 1, "OStateEdit");
    AddField(sheet, grid, 6, 0, "OZipEdit");
    AddField(sheet, grid, 6, 1, "OCountryEdit");
    grid->setRowStretch(8, 1);
    row->addLayout(grid, 1);
    row->addWidget(MakeButtonColumn(sheet, "OrgCopyPanel",
                                    {{"O1", "Copy to Admin", nullptr},
                                     {"O2", "Copy to Tech", nullptr},
                                     {"O3", "Copy to Billing", nullptr},
                                     {"O4", "Copy to ALL", nullptr},
                                     {"O5", "Copy From Admin", nullptr},
                                     {"O6", "Copy From Tech", nullptr},
                                     {"O7", "Copy From Billing", nullptr},
                                     {"O8", "Clear", nullptr}})
                       .panel);
}

QStringList DomainBlock(const QString& letter) {
    QStringList controls;
    for (const char* stem : {"Handle", "Role", "Name", "Org", "Addr", "City", "State", "Zip",
                             "Country", "Phone", "Fax", "Mail"})
        controls << letter + stem + "Edit";
    return controls;
}

void BuildContactSheet(QWidget* sheet, const QString& letter, QWidget* copyPanel) {
    auto* row = new QHBoxLayout(sheet);
    auto* column = new QVBoxLayout;
    column->addLayout(MakeAddressBlock(sheet, DomainBlock(letter)));
    column->addStretch(1);
    row->addLayout(column, 1);
    row->addWidget(copyPanel);
}

void BuildNameServerSheet(QWidget* sheet) {
    auto* column = new QVBoxLayout(sheet);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(6);
    const char* servers[4][2] = {{"PriNSEdit", "PriNSIPEdit"},
                                 {"SecNSEdit", "SecNSIPEdit"},
                                 {"ThirdNSEdit", "ThirdNSIPEdit"},
                                 {"fourthnsedit", "fourthnsipedit"}};
    for (int i = 0; i < 4; ++i) {
        QWidget* host = AddFieldBeside(sheet, grid, i, 0, servers[i][0]);
        QWidget* address = AddFieldBeside(sheet, grid, i, 2, servers[i][1]);
        address->setMinimumWidth(110);
        // The last two rows share their labels: their accessible names tell them apart.
        if (i >= 2) {
            host->setAccessibleName(QString("Additional Nameserver %1").arg(i - 1));
            address->setAccessibleName(QString("Additional IP Address %1").arg(i - 1));
        }
    }
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);
    column->addStretch(1);
    auto* buttons = new QHBoxLayout;
    auto* before = new QCheckBox("Check before mailing", sheet);
    before->setObjectName("CheckBeforeMailBox");
    before->setToolTip("Checks the name servers when a new domain is mailed, and asks before "
                       "mailing when the check finds errors.");
    buttons->addWidget(before);
    buttons->addStretch(1);
    buttons->addWidget(MakeButton(sheet, "BitBtn3", "Clear"));
    buttons->addWidget(MakeButton(sheet, "CheckNSButton", "Check",
                                  "Asks each name server whether it serves the domain, and "
                                  "whether they agree."));
    column->addLayout(buttons);
}

void BuildReviewSheet(QWidget* sheet, TRecordPage& record) {
    // The summary takes the sheet's whole width, so that its values show whole; the buttons and
    // the status line lie below it.
    auto* column = new QVBoxLayout(sheet);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(MakeDomainReviewLabels(sheet), 1);
    const ButtonPanel review = MakeButtonRow(
        sheet, "DomainReviewPanel",
        {{"ShowForm", "Show Form", "Shows the form that will be sent to the Internic."},
         {"BitBtn1", "Send to Internic", "Mails application to the Internic"},
         {"BitBtn2", "Clear All", "Clears all entries on previous tabs."},
         {"DomainDefultButton", "Save as Default",
          "Saves all entries on previous tabs as defaults."},
         {"BitBtn4", "Print", nullptr}});
    column->addWidget(review.panel);
    TakeReviewButtons(review, record);
    const StatusRow status = MakeStatusRow(sheet, "status", "MailProgress");
    column->addLayout(status.row);
    record.status = status.status;
    record.mailProgress = status.progress;
}
} // namespace

TRecordPage BuildDomainPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* pages = new QTabWidget(page);
    pages->setObjectName("PageControl2");
    layout->addWidget(pages);
    TRecordPage record;
    record.kind = RecordKind::Domain;
    record.showsFormViewer = true;
    BuildTypeSheet(AddSheet(pages, "DomainTypeSheet", "Type"), record);
    BuildOrgSheet(AddSheet(pages, "DomainOrgSheet", "Org",
                           "Information about the organization that will own this domain"));
    QWidget* admin =
        AddSheet(pages, "DomainAdminSheet", "Admin", "Information about the Domain Administrator");
    BuildContactSheet(admin, "A",
                      MakeButtonColumn(admin, "AdminCopyPanel",
                                       {{"A1", "Copy to Org", nullptr},
                                        {"A2", "Copy to Tech", nullptr},
                                        {"A3", "Copy to Billing", nullptr},
                                        {"A4", "Copy to ALL", nullptr},
                                        {"A5", "Copy From Org", nullptr},
                                        {"A6", "Copy From Tech", nullptr},
                                        {"A7", "Copy From Billing", nullptr},
                                        {"A8", "Clear", nullptr}})
                          .panel);
    QWidget* tech = AddSheet(pages, "DomainTechSheet", "Technical",
                             "Information about the domain's Technical Contact");
    BuildContactSheet(tech, "T",
                      MakeButtonColumn(tech, "TechCopyPanel",
                                       {{"T1", "Copy to Org", nullptr},
                                        {"T2", "Copy to Admin", nullptr},
                                        {"T3", "Copy to Billing", nullptr},
                                        {"T4", "Copy to ALL", nullptr},
                                        {"T5", "Copy From Org", nullptr},
                                        {"T6", "Copy From Admin", nullptr},
                                        {"T7", "Copy From Billing", nullptr},
                                        {"T8", "Clear", nullptr}})
                          .panel);
    QWidget* billing = AddSheet(pages, "DomainBillingSheet", "Billing",
                                "Information about the party responsible for paying Internic Fees");
    BuildContactSheet(billing, "B",
                      MakeButtonColumn(billing, "BillingCopyPanel",
                                       {{"B1", "Copy to Org", nullptr},
                                        {"B2", "Copy to Admin", nullptr},
                                        {"B3", "Copy to Tech", nullptr},
                                        {"B4", "Copy to ALL", nullptr},
                                        {"B5", "Copy From Org", nullptr},
                                        {"B6", "Copy From Admin", nullptr},
                                        {"BitBtn32", "Copy From Tech", nullptr},
                                        {"BitBtn33", "Clear", nullptr}})
                          .panel);
    BuildNameServerSheet(AddSheet(pages, "DomainNameServersSheet", "Name Servers",
                                  "All domains must have at least a PRIMARY and SECONDARY name "
                                  "server.  The servers should be configured for the domain "
                                  "BEFORE you register it!!!"));
    BuildReviewSheet(AddSheet(pages, "DomainReviewSheet", "Review && Submit",
                              "Be sure all information is accurate and you have configured your "
                              "DNS servers BEFORE mailing to the Internic."),
                     record);
    // The domain print text: never shown, it holds the template last written for printing.
    auto* print = MakeMemo(page, "Memo1");
    print->setLineWrapMode(QPlainTextEdit::NoWrap);
    print->hide();
    print->setFocusPolicy(Qt::NoFocus);
    record.holder = print;
    return record;
}
