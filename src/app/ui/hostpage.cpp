#include "app/ui/controls.h"
#include "app/ui/fieldstate.h"
#include "app/ui/pageparts.h"
#include "app/ui/pages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
void BuildTypeSheet(QWidget* sheet, TRecordPage& record) {
    auto* grid = new QGridLayout(sheet);
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(12);
    const RadioSpec radios[3] = {
        {"NewHostRadio", "New Host", "Select if this host is not yet registered"},
        {"ModifyHostRadio", "Modify Host",
         "Select if you are modifying information for this host (IP#)"},
        {"DeleteHostRadio", "Delete Host",
         "Select if you wish to delete this host from the Internic's databases."},
    };
    grid->addWidget(MakeActionGroup(sheet, "HostActionGroup", radios, record), 0, 0, 4, 1);
    AddField(sheet, grid, 0, 1, "HostAuthScheme",
             "Authorization type for the domain that has authority over this host.");
    QWidget* info =
        AddField(sheet, grid, 2, 1, "HostAuthInfo", "Encrypted Password is you are using CRYPT-PW");
    SetFieldOpen(info, false);
    AddButtonBeside(info, "HostMakeCryptButton", "Make...",
                    "Makes the encrypted password from the password you type (crypt(3)).");
    record.nameBox = qobject_cast<QComboBox*>(
        AddField(sheet, grid, 4, 0, "HostName",
                 "Enter the host name you wish to edit (Example: ns1.example.com)", 2));
    SetFieldOpen(AddField(sheet, grid, 6, 0, "HostNicHandle",
                          "Enter the Host's NIC handle is this is a modify or delete."),
                 false);
    AddField(sheet, grid, 6, 1, "HostIPAddress", "IP Number for this host");
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void BuildContactSheet(QWidget* sheet) {
    auto* column = new QVBoxLayout(sheet);
    column->addLayout(
        MakeAddressBlock(sheet, {"HCNicHandle", "HCRole", "HCName", "HCOrg", "HCAddr", "HCCity",
                                 "HCState", "HCZip", "HCCountry", "HCPhone", "HCFax", "HCMail"}));
    column->addStretch(1);
}
} // namespace

TRecordPage BuildHostPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* pages = new QTabWidget(page);
    pages->setObjectName("PageControl3");
    layout->addWidget(pages);
    TRecordPage record;
    record.kind = RecordKind::Host;
    BuildTypeSheet(AddSheet(pages, "HostTypeSheet", "Type && Host"), record);
    BuildContactSheet(AddSheet(pages, "HostContactSheet", "Host Contact",
                               "Information on the primary contact for this host"));
    BuildMemoReviewSheet(
        AddSheet(pages, "HostReviewSheet", "Review && Submit"),
        {"Memo2", "Host template", "HostReviewPanel", "hoststatus", "HostMailProgress"},
        {{"HostShowForm", "Show Form", "Shows the form as it will be sent to the Internic."},
         {"HostMailtoNic", "Mail to InterNIC", "Mails the application to the Internic."},
         {"HostCancel", "Clear All", "Clears all previous tab settings."},
         {"HostDefaultButton", "Save as Default", "Saves all previous tab settings as default."},
         {"HostPrint", "Print", nullptr}},
        record);
    return record;
}
