#include "store/recordstore.h"

#include "store/inifile.h"
#include "store/memovalue.h"
#include "store/storekeys.h"
#include "templates/templatefiles.h"

#include <QDir>
#include <QFileInfo>

namespace {
// A memo's line breaks would split its INI line; it is stored in its escaped form.
bool IsMemo(const QString& field) {
    const FieldInfo* f = FindField(field);
    return f && f->type == FieldType::Memo;
}

QString StoredValue(const StoreKey& k, const Record& record) {
    switch (k.source) {
    case StoreKey::Action:
        return record.action;
    case StoreKey::Public:
        return record.publicFlag;
    case StoreKey::Field:
        break;
    }
    QString text = record.Text(k.field);
    return IsMemo(k.field) ? EncodeMemoValue(text) : text;
}

QString FieldValue(const StoreKey& k, const QString& stored) {
    return IsMemo(k.field) ? DecodeMemoValue(stored) : stored;
}

void WriteKeys(const QString& file, const std::vector<StoreKey>& keys, const Record& record) {
    // All keys in one replacement: a crash or a full disk leaves the old record or the new one.
    std::vector<TIniFile::KeyValue> values;
    for (const StoreKey& k : keys)
        values.push_back({k.key, StoredValue(k, record)});
    TIniFile(file).WriteStrings(StoreSection(record.kind), values);
}
} // namespace

void SaveDefaults(const QString& settingsFile, const Record& record) {
    WriteKeys(settingsFile, DefaultsKeys(record.kind), record);
}

FieldValues LoadDefaults(const QString& settingsFile, RecordKind kind) {
    TIniFile ini(settingsFile);
    FieldValues values;
    for (const StoreKey& k : DefaultsKeys(kind))
        if (k.readBack && k.source == StoreKey::Field)
            values[k.field] = FieldValue(k, ini.ReadString(StoreSection(kind), k.key, QString()));
    return values;
}

void SaveRecordFile(const QString& recordFile, const Record& record) {
    WriteKeys(recordFile, RecordFileKeys(record.kind), record);
}

std::optional<LoadedRecord> LoadRecordFile(const QString& recordFile, RecordKind kind) {
    if (!QFileInfo(recordFile).isFile()) return std::nullopt;
    TIniFile ini(recordFile);
    LoadedRecord loaded;
    for (const StoreKey& k : RecordFileKeys(kind)) {
        if (!k.readBack) continue;
        QString stored = ini.ReadString(StoreSection(kind), k.key, QString());
        if (k.source == StoreKey::Public)
            loaded.publicFlag = stored;
        else
            loaded.fields[k.field] = FieldValue(k, stored);
    }
    return loaded;
}

QString KindFolder(RecordKind kind) {
    return QDir::currentPath() + "/" + KindFolderName(kind);
}

void EnsureKindFolder(RecordKind kind) {
    QDir().mkdir(KindFolder(kind));
}

QString RecordFilePath(RecordKind kind, const QString& name) {
    return RecordFileOf(kind, name);
}
