#include "store/storekeys.h"

#include "templates/recordkinds.h"

QString StoreSection(RecordKind kind) {
    return KindOf(kind).storeSection;
}

const std::vector<StoreKey>& DefaultsKeys(RecordKind kind) {
    return KindOf(kind).defaultsKeys;
}

const std::vector<StoreKey>& RecordFileKeys(RecordKind kind) {
    return KindOf(kind).recordFileKeys;
}
