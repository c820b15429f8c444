#include "app/ui/reviewrow.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>

bool TElidingLabel::IsCut() const {
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

QString TElidingLabel::ShownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void TElidingLabel::paintEvent(QPaintEvent* event) {
    if (!IsCut()) return QLabel::paintEvent(event);
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), option.palette, isEnabled(),
                          ShownText(), foregroundRole());
}

TReviewRowLayout::TReviewRowLayout(int spacing) : spacing_(spacing) {
    setContentsMargins(0, 0, 0, 0);
}

TReviewRowLayout::~TReviewRowLayout() {
    qDeleteAll(items_);
}

void TReviewRowLayout::AddPair(QLabel* caption, TElidingLabel* value) {
    addWidget(caption);
    addWidget(value);
}

void TReviewRowLayout::addItem(QLayoutItem* item) {
    items_ << item;
}

QLayoutItem* TReviewRowLayout::itemAt(int index) const {
    return items_.value(index);
}

QLayoutItem* TReviewRowLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int TReviewRowLayout::FirstCaptionNaturalWidth() const {
    return items_.isEmpty() ? 0 : items_[0]->sizeHint().width();
}

int TReviewRowLayout::CaptionWidth(int pair) const {
    const int natural = items_[pair * 2]->sizeHint().width();
    return pair == 0 ? std::max(natural, firstCaptionWidth_) : natural;
}

int TReviewRowLayout::LineHeight() const {
    int height = 0;
    for (QLayoutItem* item : items_)
        height = std::max(height, item->sizeHint().height());
    return height;
}

QSize TReviewRowLayout::sizeHint() const {
    const int pairs = int(items_.size()) / 2;
    int width = spacing_ * pairs + PairGap() * std::max(0, pairs - 1);
    for (int i = 0; i < items_.size(); ++i)
        width += i % 2 == 0 ? CaptionWidth(i / 2) : items_[i]->sizeHint().width();
    return {width, LineHeight()};
}

QSize TReviewRowLayout::minimumSize() const {
    // A value can shrink to its ellipsis, and pairs can move to continuation lines.
    int width = 0;
    for (int p = 0; p < int(items_.size()) / 2; ++p)
        width = std::max(width, CaptionWidth(p) + spacing_);
    return {width, LineHeight()};
}

int TReviewRowLayout::heightForWidth(int width) const {
    return Arrange(QRect(0, 0, width, LineHeight()), false);
}

void TReviewRowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int TReviewRowLayout::Arrange(const QRect& rect, bool place) const {
    const int pairs = int(items_.size()) / 2;
    const int lineHeight = LineHeight();
    const int right = rect.x() + rect.width();
    // Continuation lines start where the first value starts.
    const int indent = pairs > 0 ? rect.x() + CaptionWidth(0) + spacing_ : rect.x();
    int x = rect.x(), y = rect.y();
    QLayoutItem* lastValue = nullptr;
    QRect lastRect;
    const auto finishLine = [&] {
        // The line's last value takes the rest of the line.
        if (place && lastValue) {
            lastRect.setRight(std::max(lastRect.right(), right - 1));
            lastValue->setGeometry(lastRect);
        }
        lastValue = nullptr;
    };
    for (int p = 0; p < pairs; ++p) {
        const int captionWidth = CaptionWidth(p);
        QLayoutItem* value = items_[p * 2 + 1];
        const int natural = value->sizeHint().width();
        // A pair that does not fit the rest of this line moves to a new one where it fits whole;
        // one too wide for any line is cut where it stands, unless hardly any of it would show.
        const bool fitsHere = x + captionWidth + spacing_ + natural <= right;
        const bool fitsAlone = indent + captionWidth + spacing_ + natural <= right;
        const bool roomHere = x + captionWidth + spacing_ + 8 * spacing_ <= right;
        if (p > 0 && !fitsHere && (fitsAlone || !roomHere) && x > indent + PairGap()) {
            finishLine();
            x = indent;
            y += lineHeight;
        }
        const int valueX = x + captionWidth + spacing_;
        const int width = std::max(0, std::min(natural, right - valueX));
        if (place) {
            items_[p * 2]->setGeometry(QRect(x, y, captionWidth, lineHeight));
            lastRect = QRect(valueX, y, width, lineHeight);
            value->setGeometry(lastRect);
            if (auto* label = qobject_cast<TElidingLabel*>(value->widget()))
                label->setToolTip(width < natural ? label->text() : QString());
        }
        lastValue = value;
        x = valueX + width + PairGap();
    }
    finishLine();
    return y + lineHeight - rect.y();
}
