#include "store/ui/storebehaviour.h"

#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "app/ui/smtpsu.h"
#include "platform/guard.h"
#include "store/namelist.h"
#include "store/recordstore.h"
#include "templates/ui/windowrecord.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TStore::TStore(TForm1& form, const TRecordPages& pages)
    : QObject(&form), form_(form), pages_(pages) {
    setObjectName("RecordStore");
}

void TStore::SetSettings(const SetupSettings& settings) {
    settings_ = settings;
    settings_.address = CutText(settings.address, 255);
    settings_.name = CutText(settings.name, 255);
    emit SettingsChanged(settings_);
    form_.ShowSetupBar(settings_.server.trimmed().isEmpty());
}

void TStore::ReadSettingsAndDefaults() {
    form_.SettingsFile = WindowSettingsFile(QCoreApplication::applicationFilePath());
    SetSettings(ReadSetup(form_.SettingsFile));
    for (RecordKind kind : RecordKinds()) {
        const FieldValues values = LoadDefaults(form_.SettingsFile, kind);
        for (auto [field, text] : values.asKeyValueRange())
            SetFieldText(form_, field, text);
    }
}

QComboBox* TStore::NameBox(RecordKind kind) const {
    return pages_.Of(kind).nameBox;
}

void TStore::SetNameListItems(RecordKind kind, const QStringList& names) {
    QComboBox* box = NameBox(kind);
    if (!box) return;
    // Replacing the list never changes the box's own text.
    const QString text = FieldText(form_, KindOf(kind).nameBox);
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(names);
    box->setCurrentIndex(-1);
    SetControlText(box, text);
}

void TStore::LoadNameLists() {
    // The last page's first (contacts, hosts, domains): a list that cannot be read stops the ones
    // after it.
    const std::vector<RecordKind>& kinds = RecordKinds();
    for (auto kind = kinds.rbegin(); kind != kinds.rend(); ++kind)
        SetNameListItems(*kind, OrderedNames(*kind, ReadNameList(KindOf(*kind).nameListFile)));
}

void TStore::WriteSettings() {
    WriteSetup(form_.SettingsFile, Settings());
}

void TStore::SaveDefaultsOf(RecordKind kind) {
    SaveDefaults(form_.SettingsFile, ReadRecord(form_, kind));
}

void TStore::LoadRecordFile(RecordKind kind, const QString& name) {
    // A name that would leave the kind folder loads nothing and creates nothing.
    if (!IsSafeRecordName(name)) return;
    EnsureKindFolder(kind);
    const QString path = RecordFilePath(kind, name);
    *pages_.Of(kind).recordFile = path;
    const auto loaded = ::LoadRecordFile(path, kind);
    if (!loaded) return;
    for (auto [field, text] : loaded->fields.asKeyValueRange()) {
        // The stored spelling of a contact's name replaces the typed one; an empty one would
        // clear the name being typed, so the box keeps it then.
        if (field == KindOf(kind).nameBox && text.isEmpty()) continue;
        SetFieldText(form_, field, text);
    }
    if (KindOf(kind).hasPublicFlag) {
        if (loaded->publicFlag == "Y") {
            if (auto* yes = form_.Control<QRadioButton>("PublicYesRadio")) yes->setChecked(true);
        } else if (loaded->publicFlag == "N") {
            if (auto* no = form_.Control<QRadioButton>("PublicNoRadio")) no->setChecked(true);
        }
    }
}

void TStore::UpdateNameList(RecordKind kind, const Record& record, const TemplateFiles& files) {
    QComboBox* box = NameBox(kind);
    if (!box) return;
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    NameListChange change;
    change.kind = kind;
    change.action = record.action;
    change.name = record.Name();
    // The entry picked from the list; typing a name selects none.
    change.selectedIndex =
        box->currentIndex() >= 0 && box->itemText(box->currentIndex()) == box->currentText()
            ? box->currentIndex()
            : -1;
    change.recordFile = files.recordFile;
    change.formFile = files.formFile;
    if (ApplyNameListChange(change, names)) SetNameListItems(kind, names);
}

void TStore::Setup2Click() {
    TSetupDlg dialog(&form_);
    const SetupSettings current = Settings();
    dialog.ServerEdit->setText(current.server);
    dialog.UserAddressEdit->setText(current.address);
    dialog.UserNameEdit->setText(current.name);
    dialog.mailto->setText(current.mailto);
    QObject::connect(dialog.SecurityButton, &QPushButton::clicked, &dialog, [this, &dialog] {
        Guarded([&] {
            if (form_.MailSecurityCommand) form_.MailSecurityCommand(dialog.ServerEdit->text());
        });
    });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The security dialog's values were taken into memory when it closed with OK.
    SetupSettings changed = Settings();
    if (accepted) {
        changed.server = dialog.ServerEdit->text();
        changed.address = dialog.UserAddressEdit->text();
        changed.name = dialog.UserNameEdit->text();
        // Only OK takes the destination too: a cancelled typo must not redirect registrations.
        changed.mailto = dialog.mailto->text();
    }
    SetSettings(changed);
    // Kept at once, so that a crash or a kill loses nothing; the close writes them again.
    if (accepted) WriteSettings();
}
