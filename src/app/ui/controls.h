#pragma once
// Makers for the main window's controls. Each gives the control its name, its caption or text, its
// hint as tool tip and an accessible name (the caption or the label the user sees beside it), so
// that tests, the other subsystems and accessibility tools all find it by the same words.
#include <QString>
#include <QStringList>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

QLabel* MakeLabel(QWidget* parent, const QString& caption, const QString& name = QString(),
                  const QString& hint = QString());
QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& hint = QString(),
                    int limit = 0);
// An editable box. With `items` it is a selector: its list is fixed, it shows `text` with no item
// selected, and the selection is dropped as soon as the user types something else.
QComboBox* MakeCombo(QWidget* parent, const QString& name, const QStringList& items,
                     const QString& text, const QString& hint = QString());
QPlainTextEdit* MakeMemo(QWidget* parent, const QString& name, const QString& hint = QString());
QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint, bool checked = false);
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint = QString());
QProgressBar* MakeProgressBar(QWidget* parent, const QString& name);

// A field of a registration record (its control, label and limit come from the record model),
// with its label above it: the label in row `row`, the control in row `row` + 1 of `grid`.
QWidget* AddField(QWidget* parent, QGridLayout* grid, int row, int column, const QString& control,
                  const QString& hint = QString(), int columnSpan = 1);
// The same with the label on the left of the control, both in row `row`.
QWidget* AddFieldBeside(QWidget* parent, QGridLayout* grid, int row, int column,
                        const QString& control, const QString& hint = QString());

// A small button right of a field that AddField placed, sharing its grid cell; hidden at first.
QPushButton* AddButtonBeside(QWidget* field, const QString& name, const QString& caption,
                             const QString& hint);

// The label naming a field's control: "<control>Label".
QString LabelName(const QString& control);
// Sets the accessible name of `control` from a caption, without the "&" markers.
void NameForAccessibility(QWidget* control, const QString& caption);
