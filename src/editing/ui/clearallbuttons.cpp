#include "editing/ui/clearallbuttons.h"

#include "app/ui/form1.h"
#include "editing/clearall.h"
#include "editing/ui/formfields.h"

TClearAll::TClearAll(TForm1& form) : QObject(&form), form_(form) {
    setObjectName("ClearAll");
}

void TClearAll::ClearTab(RecordKind kind) {
    for (const QString& field : ClearAllFields(kind))
        PlaceFieldText(form_, field, QString());
}
