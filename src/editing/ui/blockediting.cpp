#include "editing/ui/blockediting.h"

#include "app/ui/form1.h"
#include "editing/ui/clearundo.h"
#include "editing/ui/formfields.h"

TBlockEditing::TBlockEditing(TForm1& form, TClearUndo& undo)
    : QObject(&form), form_(form), undo_(undo) {
    setObjectName("BlockEditing");
}

void TBlockEditing::CopyBlock(Block source, Block target) {
    for (const FieldCopy& copy : BlockCopyFields(source, target))
        PlaceFieldText(form_, copy.target, TextOfField(form_, copy.source));
}

void TBlockEditing::CopyToAll(Block source) {
    for (Block target : CopyToAllTargets(source))
        CopyBlock(source, target);
}

void TBlockEditing::ClearBlock(Block block) {
    undo_.Clear(RecordKind::Domain, BlockFields(block));
}

void TBlockEditing::BitBtn3Click() {
    undo_.Clear(RecordKind::Domain, NameServerFields());
}
