#include "lookup/ui/answermemo.h"
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

TAnswerMemo::TAnswerMemo(QWidget* parent) : TLineView(parent) {
    viewport()->setCursor(Qt::IBeamCursor);
}

TAnswerMemo::Position TAnswerMemo::PositionAt(const QPoint& point) const {
    if (Count() == 0) return {};
    qsizetype row = RowAt(std::max(0, point.y()));
    if (row < 0) row = Count() - 1;
    return {row, ColumnAt(row, point.x())};
}

void TAnswerMemo::Clear() {
    anchor_ = cursor_ = {};
    TLineView::Clear();
}

void TAnswerMemo::SelectRange(Position from, Position to) {
    const bool moved = from != anchor_ || to != cursor_;
    anchor_ = from;
    cursor_ = to;
    viewport()->update();
    if (!moved || !QAccessible::isActive()) return;
    const int anchor = OffsetOf(anchor_), caret = OffsetOf(cursor_);
    QAccessibleTextSelectionEvent selection(this, std::min(anchor, caret), std::max(anchor, caret));
    QAccessible::updateAccessibility(&selection);
    QAccessibleTextCursorEvent caretMoved(this, caret);
    QAccessible::updateAccessibility(&caretMoved);
}

void TAnswerMemo::AnnounceAdded(qsizetype firstNewLine) {
    // The new text goes after the line end that now ends the line before it.
    const int position = firstNewLine == 0 ? 0 : LineStart(firstNewLine) - 1;
    QString added = TextBetween({firstNewLine, 0}, {Count() - 1, INT_MAX});
    if (firstNewLine > 0) added.prepend(QLatin1Char('\n'));
    QAccessibleTextInsertEvent event(this, position, added);
    QAccessible::updateAccessibility(&event);
}

void TAnswerMemo::SelectAll() {
    if (Count() == 0) return;
    SelectRange({0, 0}, {Count() - 1, int(LineText(Count() - 1).size())});
}

QString TAnswerMemo::SelectedText() const {
    return TextBetween(anchor_, cursor_);
}

QString TAnswerMemo::TextBetween(Position a, Position b) const {
    const Position from = std::min(a, b), to = std::max(a, b);
    QString text;
    for (qsizetype row = from.row; row <= to.row && row < Count(); ++row) {
        const QString line = LineText(row);
        const int begin = row == from.row ? from.column : 0;
        const int end = row == to.row ? to.column : int(line.size());
        if (row > from.row) text += QLatin1Char('\n');
        text += line.mid(begin, end - begin);
    }
    return text;
}

void TAnswerMemo::Copy() const {
    if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

QList<QTextLayout::FormatRange> TAnswerMemo::Highlights(qsizetype row, int length) const {
    const Position from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
    if (from == to || row < from.row || row > to.row) return {};
    const int begin = row == from.row ? from.column : 0;
    const int end = row == to.row ? to.column : length;
    if (end <= begin) return {};
    return {{begin, end - begin, HighlightFormat()}};
}

void TAnswerMemo::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return TLineView::mousePressEvent(event);
    const Position at = PositionAt(event->position().toPoint());
    SelectRange(event->modifiers() & Qt::ShiftModifier ? anchor_ : at, at);
}

void TAnswerMemo::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint point = event->position().toPoint();
    // Dragging past the top or bottom scrolls on.
    if (point.y() < 0) verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepSub);
    if (point.y() > viewport()->height())
        verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepAdd);
    SelectRange(anchor_, PositionAt(point));
}

void TAnswerMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click takes the whole line.
    const Position at = PositionAt(event->position().toPoint());
    SelectRange({at.row, 0}, {at.row, int(LineText(at.row).size())});
}

void TAnswerMemo::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) return SelectAll();
    if (event->matches(QKeySequence::Copy)) return Copy();
    TLineView::keyPressEvent(event);
}

void TAnswerMemo::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"), this, &TAnswerMemo::Copy);
    copy->setEnabled(HasSelection());
    menu.addAction(tr("Select &All"), this, &TAnswerMemo::SelectAll)->setEnabled(Count() > 0);
    menu.exec(event->globalPos());
}
