#pragma once
// The attribute editor of the Database Objects page: the object as a two-column table (attribute,
// value), one row per attribute in the object's order. The class's mandatory attributes are
// marked (bold, and "mandatory" for assistive technology); a value cell edits in a multi-line
// editor, each further line a continuation line. Assistive technology reads it as a table.
#include "objects/rpslobject.h"
#include "objects/ruletable.h"

#include <QTableWidget>

class TAttributeTable : public QTableWidget {
    Q_OBJECT
public:
    explicit TAttributeTable(QWidget* parent = nullptr);

    // Shows `object`, marked after `rules` (null: nothing is marked).
    void SetObject(const RpslObject& object, const ClassRules* rules);
    // The object as the rows hold it; rows without a name and a value are left out.
    RpslObject Object() const;
    void SetRules(const ClassRules* rules);

    // Adds an attribute `name` with `value` where the class's template puts it; its row.
    int AddAttribute(const QString& name, const QString& value = QString());
    void RemoveCurrent();
    // Moves the current row one up (-1) or down (+1).
    void MoveCurrent(int step);
    // The value of row `row` set as the user would have typed it.
    void SetValue(int row, const QString& value);
    QString NameAt(int row) const;

signals:
    // The user changed the object: a cell, a row added, removed or moved.
    void ObjectEdited();

private:
    void InsertRow(int row, const RpslAttribute& attribute);
    void Mark(int row);
    void Edited();

    const ClassRules* rules_ = nullptr;
    bool filling_ = false;
};
