#pragma once
// One key of the two INI stores (the defaults section and the record file): the stored key and
// where its value comes from. Each kind's description carries its two key tables.
#include <QString>

struct StoreKey {
    enum Source { Field, Action, Public };
    QString key;
    QString field;         // control name of the field, for Source::Field
    Source source = Field; // the record's action code or public flag instead of a field
    bool readBack = true;  // restored by LoadDefaults, read back by LoadRecordFile
};
