#include "templates/storesteps.h"

RecordStoreSteps& StoreSteps() {
    static RecordStoreSteps steps;
    return steps;
}
