#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "objects/ui/objectsending.h"
#include "objects/ui/objectspage.h"
#include "platform/guard.h"

#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

void AttachObjects(TForm1& form, const TStore& store, TMailSubmission& mail) {
    Q_INIT_RESOURCE(objectshelp);
    auto* pages = form.Control<QTabWidget>("PageControl1");
    if (!pages) return;
    // A top-level page after the three registration pages.
    auto* sheet = new QWidget(pages);
    sheet->setObjectName("ObjectsSheet");
    const int contacts = pages->indexOf(form.Control<QWidget>("ContactRegSheet"));
    pages->insertTab(contacts + 1, sheet, "Database Objects");
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* page = new TObjectsPage(form, store, sheet);
    layout->addWidget(page);
    auto* sender = new TObjectSender(form, *page, mail);
    QObject::connect(page->MailButton, &QPushButton::clicked, sender,
                     [sender] { Guarded([sender] { sender->MailClick(); }); });
    form.CreateSteps.push_back([&form, page] { page->ReadSettings(form.SettingsFile); });
    form.CloseSteps.push_back([&form, page] { page->WriteSettings(form.SettingsFile); });
}
