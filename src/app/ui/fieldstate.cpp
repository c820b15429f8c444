#include "app/ui/fieldstate.h"

#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace {
const QColor kSilver(0xC0, 0xC0, 0xC0);
// A closed field's text stays readable on silver.
const QColor kGrayText(0x80, 0x80, 0x80);

void SetBase(QWidget* w, const QColor& base) {
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, base);
    p.setColor(QPalette::Disabled, QPalette::Text, kGrayText);
    w->setPalette(p);
}
} // namespace

void SetFieldOpen(QWidget* field, bool open) {
    field->setEnabled(open);
    const QColor base =
        open ? QApplication::palette().color(QPalette::Active, QPalette::Base) : kSilver;
    SetBase(field, base);
    // An editable box draws its text in its own line edit.
    if (auto* box = qobject_cast<QComboBox*>(field); box && box->lineEdit())
        SetBase(box->lineEdit(), base);
}

bool IsFieldOpen(const QWidget* field) {
    return field->isEnabled() && field->palette().color(QPalette::Base) != kSilver;
}
