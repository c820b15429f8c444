#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "platform/guard.h"
#include "store/templatesteps.h"
#include "store/ui/storebehaviour.h"
#include "templates/ui/templatesbehaviour.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>

TStore& AttachStore(TForm1& form, const TRecordPages& pages, TTemplates& templates) {
    InstallRecordStoreSteps();
    auto* store = new TStore(form, pages);
    form.CreateSteps.push_back([store] { store->ReadSettingsAndDefaults(); });
    form.CreateSteps.push_back([store] { store->LoadNameLists(); });
    form.CloseSteps.push_back([store] { store->WriteSettings(); });

    for (const TRecordPage& page : pages)
        if (page.saveDefaultButton)
            QObject::connect(
                page.saveDefaultButton, &QAbstractButton::clicked, store,
                [store, kind = page.kind] { Guarded([&] { store->SaveDefaultsOf(kind); }); });

    // The change reaction runs for the user's keystrokes and list picks, never for text set by
    // code.
    for (const TRecordPage& page : pages) {
        QComboBox* box = page.nameBox;
        if (!box) continue;
        const RecordKind kind = page.kind;
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
