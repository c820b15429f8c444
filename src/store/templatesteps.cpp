#include "store/templatesteps.h"

#include "store/namelist.h"
#include "templates/recordkinds.h"
#include "templates/storesteps.h"

void ApplyLoadedRecord(Record& record, const LoadedRecord& loaded) {
    for (auto [field, text] : loaded.fields.asKeyValueRange()) {
        // An empty stored name would clear the name being typed; the name box keeps it then.
        if (field == NameBoxControl(record.kind) && text.isEmpty()) continue;
        record.text[field] = text;
        if (record.selected.contains(field) && record.selected[field] != text)
            record.selected[field] = QString();
    }
    if (KindOf(record.kind).hasPublicFlag && (loaded.publicFlag == "Y" || loaded.publicFlag == "N"))
        record.publicFlag = loaded.publicFlag;
}

void InstallRecordStoreSteps() {
    RecordStoreSteps& steps = StoreSteps();
    steps.saveRecordFile = [](const Record& record, const QString& recordFile) {
        SaveRecordFile(recordFile, record);
    };
    steps.loadRecordFile = [](Record& record, const QString& recordFile) {
        if (auto loaded = LoadRecordFile(recordFile, record.kind))
            ApplyLoadedRecord(record, *loaded);
    };
    steps.updateNameListFile = [](const Record& record, const TemplateFiles& files) {
        QStringList names = OrderedNames(record.kind, ReadNameList(NameListFile(record.kind)));
        NameListChange change;
        change.kind = record.kind;
        change.action = record.action;
        change.name = record.Name();
        // Without a window the name counts as picked when the list holds it.
        change.selectedIndex = int(FindName(names, record.Name()));
        change.recordFile = files.recordFile;
        change.formFile = files.formFile;
        ApplyNameListChange(change, names);
    };
}
