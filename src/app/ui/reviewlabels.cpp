#include "app/ui/reviewlabels.h"

#include "app/ui/reviewrow.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <QVBoxLayout>
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

template <class Label> Label* ReviewLabel(QWidget* parent, const QString& text, const QFont& font) {
    auto* label = new Label(text, parent);
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
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // The first captions line up within each group of rows (the domain and organization rows,
    // the contact blocks, the name servers), so a long caption in one group takes no width from
    // the values of another.
    std::vector<std::vector<TReviewRowLayout*>> groups(1);
    for (const Row& row : ReviewRows()) {
        const QString first = row.front().value;
        if (first == "radminname" || first == "rns1") groups.emplace_back();
        auto* layout = new TReviewRowLayout(3);
        for (const Pair& pair : row) {
            auto* caption = ReviewLabel<QLabel>(panel, pair.caption, font);
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            auto* value = ReviewLabel<TElidingLabel>(panel, "n/a", font);
            value->setObjectName(pair.value);
            layout->AddPair(caption, value);
        }
        column->addLayout(layout);
        groups.back().push_back(layout);
    }
    for (const auto& group : groups) {
        int width = 0;
        for (TReviewRowLayout* row : group)
            width = std::max(width, row->FirstCaptionNaturalWidth());
        for (TReviewRowLayout* row : group)
            row->SetFirstCaptionWidth(width);
    }
    column->addStretch(1);
    return panel;
}
