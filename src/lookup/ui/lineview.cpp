#include "lookup/ui/lineview.h"

#include <QAccessible>

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {
constexpr int kMargin = 3;
}

TLineView::TLineView(QWidget* parent) : QAbstractScrollArea(parent) {
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(0);
    connect(&showTimer_, &QTimer::timeout, this, &TLineView::ShowAdded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    MeasureFont();
}

void TLineView::MeasureFont() {
    const QFontMetrics fm(font());
    lineHeight_ = std::max(1, fm.height());
    averageCharWidth_ = std::max(1, fm.averageCharWidth());
    widestDrawn_ = 0;
}

void TLineView::AddBytes(QByteArrayView bytes) {
    // A view scrolled to its end follows the lines as they come; one scrolled back stays put.
    if (!showTimer_.isActive())
        followEnd_ = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
    store_.Append(bytes);
    if (!showTimer_.isActive()) showTimer_.start();
}

void TLineView::Clear() {
    store_.Clear();
    ++generation_;
    announced_ = 0;
    widestDrawn_ = 0;
    followEnd_ = true;
    showTimer_.stop();
    UpdateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void TLineView::ShowAdded() {
    showTimer_.stop();
    UpdateScrollBars();
    if (followEnd_) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
    if (announced_ < Count() && QAccessible::isActive()) AnnounceAdded(announced_);
    announced_ = Count();
}

int TLineView::ContentWidth() const {
    // Drawn lines are measured; the longest line's bytes give an estimate before it is drawn.
    const qsizetype estimate = std::min<qsizetype>(store_.Longest(), 100000) * averageCharWidth_;
    return int(std::max<qsizetype>(widestDrawn_, estimate)) + 2 * kMargin;
}

void TLineView::UpdateScrollBars() {
    const int visibleRows = std::max(1, viewport()->height() / lineHeight_);
    const qsizetype rows = store_.Count();
    verticalScrollBar()->setPageStep(visibleRows);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(
        0, int(std::min<qsizetype>(std::max<qsizetype>(0, rows - visibleRows), INT_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(averageCharWidth_ * 2);
    horizontalScrollBar()->setRange(0, std::max(0, ContentWidth() - viewport()->width()));
}

qsizetype TLineView::FirstVisibleRow() const {
    return verticalScrollBar()->value();
}

int TLineView::TextLeft() const {
    return kMargin - horizontalScrollBar()->value();
}

qsizetype TLineView::RowAt(int y) const {
    const qsizetype row = FirstVisibleRow() + y / lineHeight_;
    return y >= 0 && row < store_.Count() ? row : -1;
}

QRect TLineView::RowRect(qsizetype row) const {
    const int y = int(row - FirstVisibleRow()) * lineHeight_;
    return QRect(0, y, viewport()->width(), lineHeight_);
}

void TLineView::ScrollToRow(qsizetype row) {
    const int visibleRows = std::max(1, viewport()->height() / lineHeight_);
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value())
        bar->setValue(int(row));
    else if (row >= bar->value() + visibleRows)
        bar->setValue(int(row - visibleRows + 1));
}

void TLineView::LayOut(QTextLayout& layout, qsizetype row) const {
    layout.setText(store_.Text(row));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(8.0 * averageCharWidth_);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) line.setLineWidth(1e6);
    layout.endLayout();
}

int TLineView::ColumnAt(qsizetype row, int x) const {
    if (row < 0 || row >= store_.Count()) return 0;
    QTextLayout layout;
    LayOut(layout, row);
    const QTextLine line = layout.lineAt(0);
    return line.isValid() ? line.xToCursor(x - TextLeft()) : 0;
}

QRect TLineView::CharacterRect(qsizetype row, int column) const {
    const QRect rowRect = RowRect(row);
    if (row < 0 || row >= store_.Count()) return {};
    QTextLayout layout;
    LayOut(layout, row);
    const QTextLine line = layout.lineAt(0);
    if (!line.isValid()) return QRect(TextLeft(), rowRect.top(), averageCharWidth_, lineHeight_);
    const int length = int(layout.text().size());
    column = std::clamp(column, 0, length);
    const int left = int(line.cursorToX(column));
    const int right = column < length ? int(line.cursorToX(column + 1)) : left + averageCharWidth_;
    return QRect(TextLeft() + std::min(left, right), rowRect.top(),
                 std::max(1, std::abs(right - left)), lineHeight_);
}

QList<QTextLayout::FormatRange> TLineView::Highlights(qsizetype, int) const {
    return {};
}

QTextCharFormat TLineView::HighlightFormat() const {
    QTextCharFormat format;
    format.setBackground(palette().brush(QPalette::Highlight));
    format.setForeground(palette().brush(QPalette::HighlightedText));
    return format;
}

void TLineView::PaintRow(QPainter& painter, qsizetype row, const QRect& rect) {
    QTextLayout layout;
    LayOut(layout, row);
    const QTextLine line = layout.lineAt(0);
    if (WholeRowHighlighted(row)) painter.fillRect(rect, palette().brush(QPalette::Highlight));
    const int top = rect.top() + (rect.height() - int(line.height())) / 2;
    layout.draw(&painter, QPointF(TextLeft(), top), Highlights(row, int(layout.text().size())));
    const int width = int(line.naturalTextWidth());
    if (width > widestDrawn_) {
        widestDrawn_ = width;
        // The horizontal range grows once the true width is known.
        QMetaObject::invokeMethod(this, &TLineView::UpdateScrollBars, Qt::QueuedConnection);
    }
}

void TLineView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const qsizetype first = FirstVisibleRow() + event->rect().top() / lineHeight_;
    const qsizetype last =
        std::min(store_.Count() - 1, FirstVisibleRow() + event->rect().bottom() / lineHeight_);
    for (qsizetype row = first; row <= last; ++row)
        PaintRow(painter, row, RowRect(row));
}

void TLineView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TLineView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        MeasureFont();
        UpdateScrollBars();
        viewport()->update();
    }
}

void TLineView::keyPressEvent(QKeyEvent* event) {
    QScrollBar* bar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier) return bar->setValue(0);
        return horizontalScrollBar()->setValue(0);
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier) return bar->setValue(bar->maximum());
        return horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TLineView::Index() const {
    if (indexed_ != generation_ || qsizetype(starts_.size()) - 1 > Count()) {
        indexed_ = generation_;
        starts_.assign(1, 0);
    }
    for (qsizetype row = qsizetype(starts_.size()) - 1; row < Count(); ++row)
        starts_.push_back(starts_.back() + LineText(row).size() + 1);
}

int TLineView::CharacterCount() const {
    Index();
    return int(Count() == 0 ? 0 : starts_.back() - 1);
}

int TLineView::LineStart(qsizetype row) const {
    Index();
    return int(starts_[size_t(std::clamp<qsizetype>(row, 0, Count()))]);
}

int TLineView::OffsetOf(LinePosition at) const {
    if (Count() == 0) return 0;
    const qsizetype row = std::clamp<qsizetype>(at.row, 0, Count() - 1);
    const int length = LineStart(row + 1) - LineStart(row) - 1;
    return LineStart(row) + std::clamp(at.column, 0, length);
}

LinePosition TLineView::PositionOf(int offset) const {
    if (Count() == 0) return {};
    offset = std::clamp(offset, 0, CharacterCount());
    const auto next = std::upper_bound(starts_.begin(), starts_.end() - 1, qsizetype(offset));
    const qsizetype row = qsizetype(next - starts_.begin()) - 1;
    return {row, offset - LineStart(row)};
}
