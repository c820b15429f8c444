#pragma once
// The two INI stores of the registration records: the defaults sections of the settings file
// ("Save as Default" and LoadDefaults) and the record file of each named record (SaveRecordFile
// after a template is written, LoadRecordFile when a name is typed or picked).
#include "templates/recordmodel.h"

#include <QMap>
#include <QString>
#include <optional>

// Field values by control name, as read from a store.
using FieldValues = QMap<QString, QString>;

// Writes every key of the kind's defaults section, in order, from the record's displayed texts.
// A failed write stops at that key with "Unable to write to %s"; the keys before it stay written.
void SaveDefaults(const QString& settingsFile, const Record& record);
// The restored fields of the kind's defaults section; a missing file or key gives empty text.
FieldValues LoadDefaults(const QString& settingsFile, RecordKind kind);

// Writes the kind's record file whole, in the order of its table, with the action code (hosts
// and contacts) and the public flag (contacts) where the table places them.
void SaveRecordFile(const QString& recordFile, const Record& record);

struct LoadedRecord {
    FieldValues fields; // every key read back; a missing key gives empty text
    QString publicFlag; // contacts: the stored "Public" value as it stands
};
// The record file's fields, or nothing when there is no file at that path.
std::optional<LoadedRecord> LoadRecordFile(const QString& recordFile, RecordKind kind);

// The kind's folder under the current directory ("domains", "hosts", "contacts"), read afresh.
QString KindFolder(RecordKind kind);
// Creates the kind's folder (one level) when it is missing; a failure is ignored, the write that
// follows reports its own error.
void EnsureKindFolder(RecordKind kind);
// The record file of a name: kind folder + "/" + name + ".ini", where a file whose name differs
// only in letter case counts as that name's (RecordFileOf).
QString RecordFilePath(RecordKind kind, const QString& name);
