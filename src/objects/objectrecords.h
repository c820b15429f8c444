#pragma once
// The records of database objects, kept as the record store keeps the templates' records: the
// object's text is the record, objects/CLASS/KEY.txt under the current directory ("/" of a
// route's prefix written "_"), and each class has its name list, objects/CLASS.cbx, one key a
// line. A mailed creation adds the key to the list once, a mailed deletion takes it out and
// removes the record, a modification leaves the list as it is.
#include "objects/rpslobject.h"
#include "objects/ruletable.h"
#include "objects/valuesyntax.h"
#include "platform/result.h"

#include <QStringList>

// "objects" under the current directory, read afresh.
QString ObjectsFolderPath();
// The record of a key: objects/CLASS/KEY.txt, where a file whose name differs only in letter case
// counts as the key's. Fails for a key that cannot name a file.
Result<QString> ObjectRecordPath(const QString& className, const QString& key);
QString ObjectNameListPath(const QString& className);

// Writes the object's text as its record (replaced whole; the folders made when missing).
Done SaveObjectRecord(const RpslObject& object, const RuleTable& rules);
// The object a record holds.
Result<RpslObject> LoadObjectRecord(const QString& className, const QString& key);
// The keys of a class's name list, in order; none when there is no list.
Result<QStringList> ObjectNames(const QString& className);
// The name list after a mailed object: Create adds `key` (unless listed in any letter case),
// Delete removes it and its record, Modify changes nothing.
Done UpdateObjectNameList(const QString& className, const QString& key, ObjectAction action);
