#pragma once
// The editing behaviour's access to the main window's fields, by control name: texts set from
// code (no typing limit, no change reactions), open/closed states and the labels beside fields.
#include <QString>

class QLabel;
class TForm1;

QString TextOfField(const TForm1& form, const QString& control);
void PlaceFieldText(TForm1& form, const QString& control, const QString& text);
void SetFieldOpenByName(TForm1& form, const QString& control, bool open);
// The label that names a field; an error when the window has none.
QLabel& FieldLabel(TForm1& form, const QString& control);
