#pragma once
// The editing behaviour's access to the main window's fields by control name. Texts are read and
// placed with the window's record helpers (placing runs no reaction and ignores typing limits);
// open and closed states use the window's field-state helper. Both raise an error for a control
// the window lacks, so a wrong name is reported instead of being ignored.
#include <QString>

class QLabel;
class TForm1;

QString TextOfField(const TForm1& form, const QString& control);
void PlaceFieldText(TForm1& form, const QString& control, const QString& text);
void SetFieldOpenByName(TForm1& form, const QString& control, bool open);
// The label that names a field.
QLabel& FieldLabel(TForm1& form, const QString& control);
// Gives a field's label a new caption; the field's accessible name follows it, so a screen reader
// reads the name the user sees.
void RelabelField(TForm1& form, const QString& control, const QString& caption);
