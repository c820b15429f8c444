#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "platform/guard.h"
#include "store/templatesteps.h"
#include "store/ui/storebehaviour.h"
#include "templates/ui/templatesbehaviour.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>

TStore& AttachStore(TForm1& form, TTemplates& templates) {
    InstallRecordStoreSteps();
    auto* store = new TStore(form);
    form.CreateSteps.push_back([store] { store->ReadSettingsAndDefaults(); });
    form.CreateSteps.push_back([store] { store->LoadNameLists(); });
    form.CloseSteps.push_back([store] { store->WriteSettings(); });

    using Click = void (TStore::*)();
    const std::pair<const char*, Click> buttons[] = {
        {"DomainDefultButton", &TStore::DomainDefultButtonClick},
        {"HostDefaultButton", &TStore::HostDefaultButtonClick},
        {"ContactDefaultButton", &TStore::ContactDefaultButtonClick},
    };
    for (auto [name, handler] : buttons)
        if (auto* button = form.Control<QAbstractButton>(name))
            QObject::connect(button, &QAbstractButton::clicked, store,
                             [store, handler] { Guarded([&] { (store->*handler)(); }); });

    // The change reaction runs for the user's keystrokes and list picks, never for text set by
    // code.
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact}) {
        auto* box = form.Control<QComboBox>(NameBoxControl(kind));
        if (!box) continue;
        auto change = [store, kind](const QString& text) {
            Guarded([&] { store->LoadRecordFile(kind, text); });
        };
        if (box->lineEdit())
            QObject::connect(box->lineEdit(), &QLineEdit::textEdited, store, change);
        QObject::connect(box, &QComboBox::textActivated, store, change);
    }

    if (auto* setup = form.findChild<QAction*>("Setup2"))
        QObject::connect(setup, &QAction::triggered, store,
                         [store] { Guarded([&] { store->Setup2Click(); }); });

    templates.UpdateNameListStep = [store](RecordKind kind, const Record& record,
                                           const TemplateFiles& files) {
        store->UpdateNameList(kind, record, files);
    };
    return *store;
}
