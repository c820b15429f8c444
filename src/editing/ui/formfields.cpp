#include "editing/ui/formfields.h"

#include "app/ui/form1.h"
#include "platform/exception.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>

namespace {
QWidget& Field(const TForm1& form, const QString& control) {
    auto* w = form.Control<QWidget>(control);
    if (!w) throw Exception("The main window has no field " + control);
    return *w;
}
} // namespace

QString TextOfField(const TForm1& form, const QString& control) {
    QWidget& w = Field(form, control);
    if (auto* edit = qobject_cast<QLineEdit*>(&w)) return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(&w)) return box->currentText();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(&w)) return memo->toPlainText();
    throw Exception("The main window's control " + control + " holds no text");
}

void PlaceFieldText(TForm1& form, const QString& control, const QString& text) {
    QWidget& w = Field(form, control);
    if (auto* edit = qobject_cast<QLineEdit*>(&w)) return edit->setText(text);
    if (auto* box = qobject_cast<QComboBox*>(&w)) {
        box->setCurrentIndex(-1);
        return box->setEditText(text);
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(&w)) return memo->setPlainText(text);
    throw Exception("The main window's control " + control + " holds no text");
}

void SetFieldOpenByName(TForm1& form, const QString& control, bool open) {
    QWidget& w = Field(form, control);
    w.setEnabled(open);
    QPalette p = w.palette();
    p.setColor(QPalette::Base,
               open ? QApplication::palette().color(QPalette::Base) : QColor(0xC0, 0xC0, 0xC0));
    w.setPalette(p);
}

QLabel& FieldLabel(TForm1& form, const QString& control) {
    auto* label = form.Control<QLabel>(control + "Label");
    if (!label) throw Exception("The main window has no label for " + control);
    return *label;
}
