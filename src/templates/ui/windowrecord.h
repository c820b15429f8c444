#pragma once
// Reading a record from the main window's controls, and placing field texts from program code.
//
// Reading rules: text fields (edits, memos, name boxes) give their whole text, a memo's line
// breaks as CR LF; selector boxes give their displayed text in Record::text and their selected
// list item (empty while none is selected) in Record::selected; the action code comes from the
// kind's three radios, the public flag from the two public radios.
//
// Texts set with SetFieldText run no change reaction (reactions listen to the user's edits only)
// and are not cut to the field's typing limit.
#include "templates/recordmodel.h"

#include <QString>

class QWidget;
class TForm1;

Record ReadRecord(const TForm1& form, RecordKind kind);

// The control of a field (edit, memo or box) by name; null when the window has none.
QWidget* FieldControl(const TForm1& form, const QString& control);
// The displayed text of a field; a memo's line breaks as CR LF.
QString FieldText(const TForm1& form, const QString& control);
// Replaces a field's text. A memo takes CR LF or LF line breaks. A selector keeps its selected
// item only when the new text is that item's text; otherwise no item is selected, so the box
// never shows one value and selects another. Unknown controls are ignored.
void SetFieldText(TForm1& form, const QString& control, const QString& text);
// The same for one control.
void SetControlText(QWidget* control, const QString& text);
