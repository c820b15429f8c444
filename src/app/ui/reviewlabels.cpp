#include "app/ui/reviewlabels.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <vector>

namespace {
struct Pair {
    QString caption;
    QString value; // the value label's name
};
using Row = std::vector<Pair>;

std::vector<Row> ReviewRows() {
    std::vector<Row> rows = {
        {{"Domain:", "rdomain"}},
        {{"Reg Type:", "rregtype"}, {"Auth Scheme:", "rauthscheme"}, {"Auth Info:", "rauthinfo"}},
        {{"Org Name:", "rorgname"}},
        {{"Address:", "rorgaddr"}, {"City:", "rorgcity"}},
        {{"State:", "rorgstate"}, {"Postal:", "rorgpostal"}, {"Country", "rorgcountry"}},
    };
    // The three contact blocks share one arrangement.
    const char* blocks[3][2] = {{"Admin:", "radmin"}, {"Tech:", "rtech"}, {"Billing:", "rbilling"}};
    for (auto& b : blocks) {
        const QString p = b[1];
        rows.push_back({{b[0], p + "name"},
                        {"E-Mail:", p + "email"},
                        {"Handle:", p + "handle"},
                        {"Type:", p + "type"}});
        rows.push_back({{"Org:", p + "org"}, {"Phone:", p + "phone"}});
        rows.push_back({{"Address:", p + "addr"}, {"Fax:", p + "fax"}});
        rows.push_back({{"City:", p + "city"},
                        {"State:", p + "state"},
                        {"Postal:", p + "postal"},
                        {"Country:", p + "country"}});
    }
    rows.push_back({{"Primary Name Server:", "rns1"}, {"IP Address:", "rns1ip"}});
    for (int i = 2; i <= 4; ++i)
        rows.push_back({{"Addl. Name Server:", QString("rns%1").arg(i)},
                        {"IP Address:", QString("rns%1ip").arg(i)}});
    return rows;
}

QLabel* ReviewLabel(QWidget* parent, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(p);
    return label;
}
} // namespace

QWidget* MakeDomainReviewLabels(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName("DomainReviewLabels");
    QFont font("Arial");
    font.setPointSize(7);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(4);
    int r = 0;
    for (const Row& row : ReviewRows()) {
        for (size_t i = 0; i < row.size(); ++i) {
            const int column = int(i) * 2;
            grid->addWidget(ReviewLabel(panel, row[i].caption, font), r, column, Qt::AlignRight);
            QLabel* value = ReviewLabel(panel, "n/a", font);
            value->setObjectName(row[i].value);
            // A long value is cut at its cell rather than pushing the others aside.
            value->setMinimumWidth(1);
            value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            const int span = i + 1 == row.size() ? 8 - column - 1 : 1;
            grid->addWidget(value, r, column + 1, 1, span);
        }
        ++r;
    }
    for (int column = 1; column < 8; column += 2)
        grid->setColumnStretch(column, 1);
    grid->setRowStretch(r, 1);
    return panel;
}
