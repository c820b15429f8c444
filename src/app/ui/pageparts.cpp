#include "app/ui/pageparts.h"

#include "app/ui/controls.h"
#include "app/ui/statusline.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

QWidget* AddSheet(QTabWidget* pages, const QString& name, const QString& caption,
                  const QString& hint) {
    auto* sheet = new QWidget(pages);
    sheet->setObjectName(name);
    const int index = pages->addTab(sheet, caption);
    if (!hint.isEmpty()) {
        sheet->setToolTip(hint);
        pages->setTabToolTip(index, hint);
    }
    return sheet;
}

QWidget* MakeActionGroup(QWidget* parent, const QString& name, const RadioSpec (&radios)[3]) {
    auto* group = new QFrame(parent);
    group->setObjectName(name);
    group->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(8, 4, 8, 4);
    column->setSpacing(2);
    bool first = true;
    for (const RadioSpec& r : radios) {
        column->addWidget(MakeRadio(group, r.name, r.caption, r.hint, first));
        first = false;
    }
    return group;
}

QGridLayout* MakeAddressBlock(QWidget* parent, const QStringList& c) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    // Placement of each role: row (of label), column, column span.
    struct Place {
        int row, column, span;
    };
    static const Place places[12] = {
        {0, 0, 1}, {0, 1, 1}, {0, 2, 1}, // handle, role, name
        {2, 0, 2}, {4, 0, 2},            // organization, street
        {6, 0, 1}, {6, 1, 1}, {6, 2, 1}, // city, state, postal code
        {8, 0, 1},                       // country
        {2, 2, 1}, {4, 2, 1},            // phone, fax
        {8, 1, 2},                       // e-mail
    };
    for (int i = 0; i < 12 && i < c.size(); ++i)
        if (!c[i].isEmpty())
            AddField(parent, grid, places[i].row, places[i].column, c[i], QString(),
                     places[i].span);
    for (int column = 0; column < 3; ++column)
        grid->setColumnStretch(column, 1);
    return grid;
}

QWidget* MakeButtonColumn(QWidget* parent, const QString& name,
                          const std::initializer_list<ButtonSpec>& buttons) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(2);
    for (const ButtonSpec& b : buttons)
        column->addWidget(MakeButton(panel, b.name, b.caption, b.hint ? b.hint : ""));
    column->addStretch(1);
    return panel;
}

QWidget* MakeButtonRow(QWidget* parent, const QString& name,
                       const std::initializer_list<ButtonSpec>& buttons) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    for (const ButtonSpec& b : buttons)
        row->addWidget(MakeButton(panel, b.name, b.caption, b.hint ? b.hint : ""), 1);
    return panel;
}

QBoxLayout* MakeStatusRow(QWidget* parent, const QString& statusName, const QString& barName) {
    auto* row = new QHBoxLayout;
    auto* status = new TStatusLine(parent);
    status->setObjectName(statusName);
    status->setText("status...");
    row->addWidget(status, 3);
    auto* bar = MakeProgressBar(parent, barName);
    bar->setAccessibleName("Mail progress");
    row->addWidget(bar, 2);
    return row;
}

// A review memo of the host and contact pages: read-only template text in a fixed font.
QPlainTextEdit* MakeReviewMemo(QWidget* sheet, const QString& name, const QString& accessibleName) {
    auto* memo = MakeMemo(sheet, name);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier("Courier");
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPointSize(8);
    memo->setFont(courier);
    memo->setAccessibleName(accessibleName);
    return memo;
}

TRecordPage FindRecordPage(QWidget* sheet, RecordKind kind, const RecordPageNames& names) {
    TRecordPage page;
    page.kind = kind;
    page.nameBox = sheet->findChild<QComboBox*>(KindOf(kind).nameBox);
    for (std::size_t i = 0; i < page.actionRadios.size(); ++i)
        page.actionRadios[i] =
            sheet->findChild<QRadioButton*>(KindOf(kind).actionRadios.value(qsizetype(i)));
    page.showFormButton = sheet->findChild<QAbstractButton*>(names.showForm);
    page.mailButton = sheet->findChild<QAbstractButton*>(names.mail);
    page.clearAllButton = sheet->findChild<QAbstractButton*>(names.clearAll);
    page.saveDefaultButton = sheet->findChild<QAbstractButton*>(names.saveDefault);
    page.printButton = sheet->findChild<QAbstractButton*>(names.print);
    page.holder = sheet->findChild<QPlainTextEdit*>(names.holder);
    page.mailProgress = sheet->findChild<QProgressBar*>(names.progress);
    page.status = sheet->findChild<TStatusLine*>(names.status);
    return page;
}
