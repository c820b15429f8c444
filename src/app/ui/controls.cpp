#include "app/ui/controls.h"

#include "app/ui/combobox.h"
#include "app/ui/fieldstate.h"
#include "app/ui/typinglimit.h"
#include "templates/recordmodel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace {
void SetHint(QWidget* w, const QString& hint) {
    if (!hint.isEmpty()) w->setToolTip(hint);
}

QString WithoutMarkers(QString caption) {
    caption.replace("&&", QString(QChar(1)));
    caption.remove('&');
    caption.replace(QChar(1), "&");
    return caption;
}

// The control of a record field, by its type in the record model.
QWidget* MakeFieldControl(QWidget* parent, const FieldInfo& f, const QString& hint) {
    switch (f.type) {
    case FieldType::Memo:
        return MakeMemo(parent, f.control, hint);
    case FieldType::Selector: {
        const QStringList items = SelectorItems(f.control);
        return MakeCombo(parent, f.control, items, items.value(0), hint);
    }
    case FieldType::NameBox:
        return MakeCombo(parent, f.control, {}, QString(), hint);
    case FieldType::Text:
        break;
    }
    return MakeEdit(parent, f.control, hint, f.limit);
}

QWidget* MakeLabelledField(QWidget* parent, const QString& control, const QString& hint,
                           QLabel** label) {
    const FieldInfo* f = FindField(control);
    Q_ASSERT(f);
    QWidget* w = MakeFieldControl(parent, *f, hint);
    *label = MakeLabel(parent, f->label, LabelName(control));
    (*label)->setBuddy(w);
    NameForAccessibility(w, f->label);
    return w;
}
} // namespace

QString LabelName(const QString& control) {
    return control + "Label";
}

void NameForAccessibility(QWidget* control, const QString& caption) {
    QString name = WithoutMarkers(caption).trimmed();
    if (name.endsWith(':')) name.chop(1);
    control->setAccessibleName(name);
}

QLabel* MakeLabel(QWidget* parent, const QString& caption, const QString& name,
                  const QString& hint) {
    auto* label = new QLabel(caption, parent);
    if (!name.isEmpty()) label->setObjectName(name);
    SetHint(label, hint);
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& hint, int limit) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    SetHint(edit, hint);
    SetTypingLimit(edit, limit);
    return edit;
}

QComboBox* MakeCombo(QWidget* parent, const QString& name, const QStringList& items,
                     const QString& text, const QString& hint) {
    auto* box = new TComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    // The list is fixed: typed text is never added to it, and typing is not completed from it
    // (a half-typed scheme name must stay half-typed).
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
    SetHint(box, hint);
    if (!items.isEmpty()) {
        // The selected item always matches the text shown: once the user types something else
        // the box has no selected item, as in its initial state.
        QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [box](const QString& now) {
            const int index = box->currentIndex();
            if (index < 0 || box->itemText(index) == now) return;
            QLineEdit* line = box->lineEdit();
            const int cursor = line->cursorPosition();
            const QSignalBlocker quiet(box);
            box->setCurrentIndex(-1);
            line->setText(now);
            line->setCursorPosition(cursor);
        });
    }
    return box;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const QString& name, const QString& hint) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setTabChangesFocus(true);
    SetHint(memo, hint);
    return memo;
}

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint, bool checked) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    radio->setChecked(checked);
    SetHint(radio, hint);
    NameForAccessibility(radio, caption);
    return radio;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    SetHint(button, hint);
    NameForAccessibility(button, caption);
    return button;
}

QProgressBar* MakeProgressBar(QWidget* parent, const QString& name) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QWidget* AddField(QWidget* parent, QGridLayout* grid, int row, int column, const QString& control,
                  const QString& hint, int columnSpan) {
    QLabel* label = nullptr;
    QWidget* w = MakeLabelledField(parent, control, hint, &label);
    grid->addWidget(label, row, column, 1, columnSpan);
    grid->addWidget(w, row + 1, column, 1, columnSpan);
    return w;
}

QPushButton* AddButtonBeside(QWidget* field, const QString& name, const QString& caption,
                             const QString& hint) {
    auto* grid = qobject_cast<QGridLayout*>(field->parentWidget()->layout());
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    const int index = grid ? grid->indexOf(field) : -1;
    if (index < 0) return nullptr;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(field);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(4);
    cell->addWidget(field, 1);
    QPushButton* button = MakeButton(field->parentWidget(), name, caption, hint);
    button->hide();
    cell->addWidget(button);
    grid->addLayout(cell, row, column, rowSpan, columnSpan);
    return button;
}

QWidget* AddFieldBeside(QWidget* parent, QGridLayout* grid, int row, int column,
                        const QString& control, const QString& hint) {
    QLabel* label = nullptr;
    QWidget* w = MakeLabelledField(parent, control, hint, &label);
    grid->addWidget(label, row, column);
    grid->addWidget(w, row, column + 1);
    return w;
}
