#pragma once
// The key tables of the two INI stores, each in the order its writer writes the keys. The two
// stores spell some keys differently ("AuthInfo" in a defaults section, "AuthInfoEdit" in a record
// file), and each reader uses its own writer's names.
#include "templates/recordmodel.h"

#include <QString>
#include <vector>

struct StoreKey {
    enum Source { Field, Action, Public };
    QString key;
    QString field;         // control name of the field, for Source::Field
    Source source = Field; // the record's action code or public flag instead of a field
    bool readBack = true;  // restored by LoadDefaults, read back by LoadRecordFile
};

// "DomainReg", "HostReg" or "ContactReg": the defaults section and the record file's section.
QString StoreSection(RecordKind kind);

// The defaults section's keys, as Save as Default writes them.
const std::vector<StoreKey>& DefaultsKeys(RecordKind kind);
// The record file's keys, as SaveRecordFile writes them.
const std::vector<StoreKey>& RecordFileKeys(RecordKind kind);
