#include "editing/ui/actionselectors.h"

#include "app/ui/form1.h"
#include "editing/ui/formfields.h"
#include "platform/exception.h"
#include "platform/messageboxes.h"

#include <QRadioButton>

TActionSelectors::TActionSelectors(TForm1& form) : QObject(&form), form_(form) {
    setObjectName("ActionSelectors");
}

void TActionSelectors::Apply(RecordKind kind, ActionChoice choice) {
    const QString authorizationType = TextOfField(form_, "ContactAuthorizationType");
    for (const FieldOpening& change : ActionFieldChanges(kind, choice, authorizationType))
        SetFieldOpenByName(form_, change.control, change.open);
}

void TActionSelectors::ConfirmDelete(RecordKind kind) {
    // Only No (or Escape) declines: Yes, or closing the box, keeps Delete.
    if (Boxes().WarningYesNo(DeleteQuestion(kind)) != BoxAnswer::No) {
        Apply(kind, ActionChoice::DeleteConfirmed);
        return;
    }
    Apply(kind, ActionChoice::DeleteDeclined);
    const QString newRadio = ActionRadios(kind).value(0);
    auto* radio = form_.Control<QRadioButton>(newRadio);
    if (!radio) throw Exception("The main window has no control " + newRadio);
    radio->setChecked(true);
}
