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

QWidget* MakeActionGroup(QWidget* parent, const QString& name, const RadioSpec (&radios)[3],
                         TRecordPage& page) {
    auto* group = new QFrame(parent);
    group->setObjectName(name);
    group->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(8, 4, 8, 4);
    column->setSpacing(2);
    for (std::size_t i = 0; i < page.actionRadios.size(); ++i) {
        page.actionRadios[i] =
            MakeRadio(group, radios[i].name, radios[i].caption, radios[i].hint, i == 0);
        column->addWidget(page.actionRadios[i]);
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

ButtonPanel MakeButtonColumn(QWidget* parent, const QString& name,
                             const std::initializer_list<ButtonSpec>& buttons) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(2);
    ButtonPanel made{panel, {}};
    for (const ButtonSpec& b : buttons) {
        made.buttons << MakeButton(panel, b.name, b.caption, b.hint ? b.hint : "");
        column->addWidget(made.buttons.back());
    }
    column->addStretch(1);
    return made;
}

ButtonPanel MakeButtonRow(QWidget* parent, const QString& name,
                          const std::initializer_list<ButtonSpec>& buttons) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    ButtonPanel made{panel, {}};
    for (const ButtonSpec& b : buttons) {
        made.buttons << MakeButton(panel, b.name, b.caption, b.hint ? b.hint : "");
        row->addWidget(made.buttons.back(), 1);
    }
    return made;
}

void TakeReviewButtons(const ButtonPanel& review, TRecordPage& page) {
    QAbstractButton** roles[] = {&page.showFormButton, &page.mailButton, &page.clearAllButton,
                                 &page.saveDefaultButton, &page.printButton};
    for (qsizetype i = 0; i < review.buttons.size() && i < 5; ++i)
        *roles[i] = review.buttons[i];
}

StatusRow MakeStatusRow(QWidget* parent, const QString& statusName, const QString& barName) {
    StatusRow made{new QHBoxLayout, new TStatusLine(parent), MakeProgressBar(parent, barName)};
    made.status->setObjectName(statusName);
    made.status->setText("status...");
    made.row->addWidget(made.status, 3);
    made.progress->setAccessibleName("Mail progress");
    made.row->addWidget(made.progress, 2);
    return made;
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

void BuildMemoReviewSheet(QWidget* sheet, const MemoReviewNames& names,
                          const std::initializer_list<ButtonSpec>& buttons, TRecordPage& page) {
    auto* column = new QVBoxLayout(sheet);
    column->setSpacing(4);
    auto* row = new QHBoxLayout;
    page.holder = MakeReviewMemo(sheet, names.memo, names.memoAccessibleName);
    row->addWidget(page.holder, 1);
    const ButtonPanel review = MakeButtonColumn(sheet, names.panel, buttons);
    row->addWidget(review.panel);
    TakeReviewButtons(review, page);
    column->addLayout(row, 1);
    const StatusRow status = MakeStatusRow(sheet, names.status, names.progress);
    column->addLayout(status.row);
    page.status = status.status;
    page.mailProgress = status.progress;
}
