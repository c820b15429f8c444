#pragma once
// The key tables of the two INI stores for a kind (from its description, recordkinds.h), each in
// the order its writer writes the keys.
#include "templates/recordmodel.h"
#include "templates/storekey.h"

#include <QString>
#include <vector>

// "DomainReg", "HostReg" or "ContactReg": the defaults section and the record file's section.
QString StoreSection(RecordKind kind);

// The defaults section's keys, as Save as Default writes them.
const std::vector<StoreKey>& DefaultsKeys(RecordKind kind);
// The record file's keys, as SaveRecordFile writes them.
const std::vector<StoreKey>& RecordFileKeys(RecordKind kind);
