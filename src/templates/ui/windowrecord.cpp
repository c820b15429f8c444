#include "templates/ui/windowrecord.h"

#include "app/ui/form1.h"
#include "templates/recordkinds.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {
bool Checked(const TForm1& form, const QString& radio) {
    auto* button = form.Control<QRadioButton>(radio);
    return button && button->isChecked();
}

QString ControlText(const QWidget* w) {
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text();
    if (auto* box = qobject_cast<const QComboBox*>(w)) return box->currentText();
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(w)) {
        QString text = memo->toPlainText();
        text.replace('\n', "\r\n");
        return text;
    }
    return QString();
}
} // namespace

QWidget* FieldControl(const TForm1& form, const QString& control) {
    QWidget* w = form.Control<QWidget>(control);
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
        qobject_cast<QPlainTextEdit*>(w))
        return w;
    return nullptr;
}

QString FieldText(const TForm1& form, const QString& control) {
    return ControlText(FieldControl(form, control));
}

void SetControlText(QWidget* w, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        // setText is not held to the typing limit (a validator that watches typing only).
        edit->setText(text);
    } else if (auto* box = qobject_cast<QComboBox*>(w)) {
        const int index = box->currentIndex();
        if (index >= 0 && box->itemText(index) != text) {
            const QSignalBlocker quiet(box);
            box->setCurrentIndex(-1);
        }
        box->setEditText(text);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        QString plain = text;
        plain.replace("\r\n", "\n");
        memo->setPlainText(plain);
    }
}

void SetFieldText(TForm1& form, const QString& control, const QString& text) {
    SetControlText(FieldControl(form, control), text);
}

Record ReadRecord(const TForm1& form, RecordKind kind) {
    Record r;
    r.kind = kind;
    for (const FieldInfo& f : RecordFields(kind)) {
        const QWidget* w = FieldControl(form, f.control);
        r.text[f.control] = ControlText(w);
        if (f.type == FieldType::Selector) {
            auto* box = qobject_cast<const QComboBox*>(w);
            const int index = box ? box->currentIndex() : -1;
            r.selected[f.control] = index >= 0 ? box->itemText(index) : QString();
        }
    }
    const QStringList radios = ActionRadios(kind);
    r.action =
        ActionCode(Checked(form, radios[0]), Checked(form, radios[1]), Checked(form, radios[2]));
    if (KindOf(kind).hasPublicFlag)
        r.publicFlag = PublicFlag(Checked(form, "PublicYesRadio"), Checked(form, "PublicNoRadio"));
    return r;
}
