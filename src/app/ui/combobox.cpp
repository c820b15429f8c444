#include "app/ui/combobox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {}

// The box hears of the end of an edit through its line edit's editingFinished; while the line
// edit takes the focus change or the Enter key, that signal is held back, so the box neither
// selects the matching item nor reports it as activated. The line edit itself behaves as usual.
void TComboBox::focusOutEvent(QFocusEvent* event) {
    if (!lineEdit()) return QComboBox::focusOutEvent(event);
    const QSignalBlocker quiet(lineEdit());
    QComboBox::focusOutEvent(event);
}

void TComboBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || !lineEdit() || view()->isVisible()) return QComboBox::keyPressEvent(event);
    const QSignalBlocker quiet(lineEdit());
    QComboBox::keyPressEvent(event);
}
