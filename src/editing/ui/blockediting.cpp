#include "editing/ui/blockediting.h"

#include "app/ui/form1.h"
#include "editing/ui/formfields.h"

TBlockEditing::TBlockEditing(TForm1& form) : QObject(&form), form_(form) {
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
    for (const QString& field : BlockFields(block))
        PlaceFieldText(form_, field, QString());
}

void TBlockEditing::BitBtn3Click() {
    for (const QString& field : NameServerFields())
        PlaceFieldText(form_, field, QString());
}
