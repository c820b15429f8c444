#pragma once
// Puts the record store's steps into the template jobs (see templates/storesteps.h): every writer
// saves the record file as its last step; the companion's write loads the record file first and
// updates the name list file after the template is written, as Show Form does in the window.
#include "store/recordstore.h"

void InstallRecordStoreSteps();

// Applies a loaded record file to a record as a name-box change does in the window: the stored
// texts (a selector keeps its picked item only when the text is that item's), the public flag
// when it is "Y" or "N", and for contacts the stored spelling of the name when it holds one.
void ApplyLoadedRecord(Record& record, const LoadedRecord& loaded);
