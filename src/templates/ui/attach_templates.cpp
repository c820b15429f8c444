#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "platform/guard.h"
#include "templates/ui/formviewer.h"
#include "templates/ui/templatesbehaviour.h"

#include <QAbstractButton>
#include <QTabWidget>

TTemplates& AttachTemplates(TForm1& form, const TRecordPages& pages) {
    auto* templates = new TTemplates(form, pages);
    form.CreateFormView = [] { return new TFormView(); };

    auto onClick = [templates](QAbstractButton* button, RecordKind kind,
                               void (TTemplates::*handler)(RecordKind)) {
        if (button)
            QObject::connect(button, &QAbstractButton::clicked, templates,
                             [=] { Guarded([&] { (templates->*handler)(kind); }); });
    };
    for (const TRecordPage& page : pages) {
        onClick(page.showFormButton, page.kind, &TTemplates::ShowFormClick);
        onClick(page.printButton, page.kind, &TTemplates::PrintClick);
    }
    if (auto* domainTabs = form.Control<QTabWidget>("PageControl2"))
        QObject::connect(domainTabs, &QTabWidget::currentChanged, templates,
                         [templates] { Guarded([&] { templates->PageControl2Change(); }); });
    // The review page's own "Clear All" empties the fields it shows: it shows them again once
    // the fields are clear (queued, whichever handler of the button runs first).
    if (QAbstractButton* clear = pages.Of(RecordKind::Domain).clearAllButton)
        QObject::connect(
            clear, &QAbstractButton::clicked, templates,
            [templates] { Guarded([&] { templates->RefreshDomainReview(); }); },
            Qt::QueuedConnection);
    return *templates;
}
