#pragma once
// The common layout of the two look-up pages: a labelled query field with its button in one row,
// and the answer filling the rest of the page.
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class QBoxLayout;

struct LookupPageRow {
    QLabel* label;
    QLineEdit* field;
    QPushButton* button;
    QBoxLayout* row;    // the query row, for controls a page adds beside its button
    QBoxLayout* column; // the page's rows, the answer last
};

// Builds the row on `page` and adds `answer` below it; the controls get their names, hints (as
// tool tips) and accessible names.
LookupPageRow BuildLookupPage(QWidget* page, const QString& labelText, const QString& fieldName,
                              const QString& fieldHint, const QString& buttonName,
                              const QString& buttonHint, QWidget* answer);
