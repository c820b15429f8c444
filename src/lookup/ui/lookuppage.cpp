#include "lookup/ui/lookuppage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LookupPageRow BuildLookupPage(QWidget* page, const QString& labelText, const QString& fieldName,
                              const QString& fieldHint, const QString& buttonName,
                              const QString& buttonHint, QWidget* answer) {
    auto* label = new QLabel(labelText, page);
    auto* field = new QLineEdit(page);
    field->setObjectName(fieldName);
    field->setToolTip(fieldHint);
    field->setAccessibleName(labelText);
    field->setAccessibleDescription(fieldHint);
    label->setBuddy(field);
    auto* button = new QPushButton("LookUp", page);
    button->setObjectName(buttonName);
    button->setToolTip(buttonHint);
    button->setAccessibleName("LookUp");
    button->setAccessibleDescription(buttonHint);
    // Enter in the field is handled by the page itself, never by a default button.
    button->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field, 1);
    row->addWidget(button);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(6);
    column->addLayout(row);
    column->addWidget(answer, 1);
    return {label, field, button, row, column};
}
