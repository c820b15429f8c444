#include "editing/ui/formfields.h"

#include "app/ui/controls.h"
#include "app/ui/fieldstate.h"
#include "app/ui/form1.h"
#include "platform/exception.h"
#include "templates/ui/windowrecord.h"

#include <QLabel>

namespace {
QWidget& Field(const TForm1& form, const QString& control) {
    QWidget* w = form.Control<QWidget>(control);
    if (!w) throw Exception("The main window has no field " + control);
    return *w;
}
} // namespace

QString TextOfField(const TForm1& form, const QString& control) {
    Field(form, control);
    return FieldText(form, control);
}

void PlaceFieldText(TForm1& form, const QString& control, const QString& text) {
    SetControlText(&Field(form, control), text);
}

void SetFieldOpenByName(TForm1& form, const QString& control, bool open) {
    SetFieldOpen(&Field(form, control), open);
}

QLabel& FieldLabel(TForm1& form, const QString& control) {
    auto* label = form.Control<QLabel>(LabelName(control));
    if (!label) throw Exception("The main window has no label for " + control);
    return *label;
}

void RelabelField(TForm1& form, const QString& control, const QString& caption) {
    FieldLabel(form, control).setText(caption);
    NameForAccessibility(&Field(form, control), caption);
}
