#include "editing/ui/clearallbuttons.h"

#include "app/ui/form1.h"
#include "editing/clearall.h"
#include "editing/ui/clearundo.h"

TClearAll::TClearAll(TForm1& form, TClearUndo& undo) : QObject(&form), undo_(undo) {
    setObjectName("ClearAll");
}

void TClearAll::ClearTab(RecordKind kind) {
    undo_.Clear(kind, ClearAllFields(kind));
}
