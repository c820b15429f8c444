#include "editing/ui/actionselectors.h"

#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "editing/ui/formfields.h"
#include "platform/exception.h"
#include "platform/messageboxes.h"

#include <QRadioButton>

TActionSelectors::TActionSelectors(TForm1& form, const TRecordPages& pages)
    : QObject(&form), form_(form), pages_(pages) {
    setObjectName("ActionSelectors");
}

void TActionSelectors::Apply(RecordKind kind, ActionChoice choice) {
    const QString authorizationType = TextOfField(form_, KindOf(kind).authorizationField);
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
    QRadioButton* radio = pages_.Of(kind).actionRadios[0];
    if (!radio) throw Exception("The main window has no control " + KindOf(kind).actionRadios[0]);
    radio->setChecked(true);
}
