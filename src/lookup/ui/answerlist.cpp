#include "lookup/ui/answerlist.h"

#include <QKeyEvent>
#include <QMouseEvent>

TAnswerList::TAnswerList(QWidget* parent) : TLineView(parent) {}

void TAnswerList::SetCurrentRow(qsizetype row) {
    current_ = row >= 0 && row < Count() ? row : -1;
    if (current_ >= 0) ScrollToRow(current_);
    viewport()->update();
}

void TAnswerList::Clear() {
    current_ = -1;
    TLineView::Clear();
}

QList<QTextLayout::FormatRange> TAnswerList::Highlights(qsizetype row, int length) const {
    if (row != current_ || length == 0) return {};
    QTextCharFormat format;
    format.setForeground(palette().brush(QPalette::HighlightedText));
    return {{0, length, format}};
}

void TAnswerList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return TLineView::mousePressEvent(event);
    SetCurrentRow(RowAt(event->position().toPoint().y()));
}

void TAnswerList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const qsizetype row = RowAt(event->position().toPoint().y());
    if (row < 0) return;
    SetCurrentRow(row);
    emit RowDoubleClicked(row);
}

void TAnswerList::keyPressEvent(QKeyEvent* event) {
    if (Count() == 0) return TLineView::keyPressEvent(event);
    const qsizetype page = std::max(1, viewport()->height() / LineHeight());
    switch (event->key()) {
    case Qt::Key_Up:
        return SetCurrentRow(std::max<qsizetype>(0, current_ - 1));
    case Qt::Key_Down:
        return SetCurrentRow(std::min(Count() - 1, current_ + 1));
    case Qt::Key_PageUp:
        return SetCurrentRow(std::max<qsizetype>(0, current_ - page));
    case Qt::Key_PageDown:
        return SetCurrentRow(std::min(Count() - 1, current_ + page));
    case Qt::Key_Home:
        return SetCurrentRow(0);
    case Qt::Key_End:
        return SetCurrentRow(Count() - 1);
    default:
        TLineView::keyPressEvent(event);
    }
}
