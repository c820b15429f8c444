#pragma once
// The items a new registration's template must carry filled in: without them the registry's robot
// refuses it, so the confirmation before mailing lists those left empty (the name itself is checked
// before anything else). Modify and Delete name a record the registry holds already and
// need nothing more than its name.
#include "templates/recordkinds.h"

#include <QString>
#include <QStringList>
#include <vector>

std::vector<RequiredItem> RequiredItems(RecordKind kind, const QString& action);
// The required items of `record` that are empty (blanks only count as empty), in template order.
QStringList EmptyRequiredItems(const Record& record);
// What the confirmation adds below its own text when `items` are empty.
QString EmptyRequiredNote(const QStringList& items);
