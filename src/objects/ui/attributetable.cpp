#include "objects/ui/attributetable.h"

#include "objects/objecttemplate.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>

namespace {
enum Column { NameColumn, ValueColumn };

// A value edits in a multi-line editor: Enter starts a continuation line, Tab or leaving the
// cell keeps the text.
class ValueDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QPlainTextEdit(parent);
        editor->setObjectName("AttributeValueEditor");
        editor->setAccessibleName("Value");
        editor->setTabChangesFocus(true);
        editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* text = static_cast<QPlainTextEdit*>(editor);
        text->setPlainText(index.data(Qt::EditRole).toString());
        text->moveCursor(QTextCursor::End);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QPlainTextEdit*>(editor)->toPlainText(), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        // Room for a continuation line below the one being typed.
        QRect r = option.rect;
        r.setHeight(std::max(r.height(), 2 * option.fontMetrics.height() + 8));
        editor->setGeometry(r);
    }
};
} // namespace

TAttributeTable::TAttributeTable(QWidget* parent) : QTableWidget(0, 2, parent) {
    setHorizontalHeaderLabels({"Attribute", "Value"});
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setVisible(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setWordWrap(false);
    setItemDelegateForColumn(ValueColumn, new ValueDelegate(this));
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed | SelectedClicked);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_) return;
        if (item->column() == NameColumn) {
            const QSignalBlocker quiet(this);
            item->setText(item->text().trimmed().toLower());
            Mark(item->row());
        }
        Edited();
    });
}

void TAttributeTable::SetObject(const RpslObject& object, const ClassRules* rules) {
    rules_ = rules;
    filling_ = true;
    setRowCount(0);
    for (const RpslAttribute& a : object.attributes)
        InsertRow(rowCount(), a);
    filling_ = false;
    resizeColumnToContents(NameColumn);
    if (rowCount() > 0) setCurrentCell(0, ValueColumn);
}

void TAttributeTable::SetRules(const ClassRules* rules) {
    rules_ = rules;
    for (int row = 0; row < rowCount(); ++row)
        Mark(row);
}

void TAttributeTable::InsertRow(int row, const RpslAttribute& attribute) {
    const bool wasFilling = filling_;
    filling_ = true;
    insertRow(row);
    setItem(row, NameColumn, new QTableWidgetItem(attribute.name));
    setItem(row, ValueColumn, new QTableWidgetItem(attribute.value));
    Mark(row);
    resizeRowToContents(row);
    filling_ = wasFilling;
}

void TAttributeTable::Mark(int row) {
    QTableWidgetItem* item = this->item(row, NameColumn);
    if (!item) return;
    const AttributeRule* rule = rules_ ? rules_->Find(item->text()) : nullptr;
    const bool mandatory = rule && rule->presence == Presence::Mandatory;
    QFont font = this->font();
    font.setBold(mandatory);
    const bool wasFilling = filling_;
    filling_ = true;
    item->setFont(font);
    const QString note = !rule            ? QString("not an attribute of this class")
                         : mandatory      ? QString("mandatory")
                         : rule->Mailed() ? QString("optional")
                                          : QString("set by the registry");
    item->setToolTip(note);
    item->setData(Qt::AccessibleDescriptionRole, note);
    filling_ = wasFilling;
}

RpslObject TAttributeTable::Object() const {
    RpslObject object;
    for (int row = 0; row < rowCount(); ++row) {
        const QString name = NameAt(row);
        const QString value = item(row, ValueColumn) ? item(row, ValueColumn)->text() : QString();
        if (name.isEmpty() && value.trimmed().isEmpty()) continue;
        RpslAttribute a;
        a.name = name;
        a.value = value;
        a.malformed = name.isEmpty();
        object.attributes.push_back(a);
    }
    return object;
}

QString TAttributeTable::NameAt(int row) const {
    const QTableWidgetItem* name = item(row, NameColumn);
    return name ? name->text().trimmed().toLower() : QString();
}

int TAttributeTable::AddAttribute(const QString& name, const QString& value) {
    int row = rowCount();
    if (rules_) {
        // The template's place among the rows as they stand (rows without a name count too).
        RpslObject shown;
        for (int r = 0; r < rowCount(); ++r)
            shown.attributes.push_back(RpslAttribute{NameAt(r), QString(), 0, false});
        row = int(TemplatePosition(shown, *rules_, name));
    }
    InsertRow(row, RpslAttribute{name, value, 0, false});
    setCurrentCell(row, ValueColumn);
    Edited();
    return row;
}

void TAttributeTable::RemoveCurrent() {
    const int row = currentRow();
    if (row < 0) return;
    removeRow(row);
    if (rowCount() > 0) setCurrentCell(std::min(row, rowCount() - 1), ValueColumn);
    Edited();
}

void TAttributeTable::MoveCurrent(int step) {
    const int row = currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= rowCount()) return;
    const int column = std::max(currentColumn(), 0);
    filling_ = true;
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* a = takeItem(row, c);
        QTableWidgetItem* b = takeItem(to, c);
        setItem(row, c, b);
        setItem(to, c, a);
    }
    filling_ = false;
    resizeRowToContents(row);
    resizeRowToContents(to);
    setCurrentCell(to, column);
    Edited();
}

void TAttributeTable::SetValue(int row, const QString& value) {
    if (QTableWidgetItem* cell = item(row, ValueColumn)) cell->setText(value);
}

void TAttributeTable::Edited() {
    for (int row = 0; row < rowCount(); ++row)
        resizeRowToContents(row);
    emit ObjectEdited();
}
