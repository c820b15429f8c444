#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "platform/guard.h"
#include "templates/ui/formviewer.h"
#include "templates/ui/templatesbehaviour.h"

#include <QAbstractButton>
#include <QTabWidget>

TTemplates& AttachTemplates(TForm1& form) {
    auto* templates = new TTemplates(form);
    form.CreateFormView = [] { return new TFormView(); };

    using Handler = void (TTemplates::*)();
    const std::pair<const char*, Handler> buttons[] = {
        {"ShowForm", &TTemplates::ShowFormClick},
        {"HostShowForm", &TTemplates::HostShowFormClick},
        {"ContactShowForm", &TTemplates::ContactShowFormClick},
        {"BitBtn4", &TTemplates::BitBtn4Click},
        {"HostPrint", &TTemplates::HostPrintClick},
        {"ContactPrint", &TTemplates::ContactPrintClick},
    };
    for (auto [name, handler] : buttons)
        if (auto* button = form.Control<QAbstractButton>(name))
            QObject::connect(button, &QAbstractButton::clicked, templates,
                             [templates, handler] { Guarded([&] { (templates->*handler)(); }); });
    if (auto* pages = form.Control<QTabWidget>("PageControl2"))
        QObject::connect(pages, &QTabWidget::currentChanged, templates,
                         [templates] { Guarded([&] { templates->PageControl2Change(); }); });
    // The review page's own "Clear All" empties the fields it shows: it shows them again once
    // the fields are clear (queued, whichever handler of the button runs first).
    if (auto* clear = form.Control<QAbstractButton>("BitBtn2"))
        QObject::connect(
            clear, &QAbstractButton::clicked, templates,
            [templates] { Guarded([&] { templates->RefreshDomainReview(); }); },
            Qt::QueuedConnection);
    return *templates;
}
