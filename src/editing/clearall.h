#pragma once
// The fields each tab's "Clear All" empties, in the order it empties them. Radios, captions,
// enabled states, lists and files are not fields here and stay as they are.
#include "templates/recordmodel.h"

#include <QStringList>

QStringList ClearAllFields(RecordKind kind);
