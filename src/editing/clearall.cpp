#include "editing/clearall.h"

#include "templates/recordkinds.h"

QStringList ClearAllFields(RecordKind kind) {
    return KindOf(kind).clearAllFields;
}
