#include "lookup/ui/answerlist.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

TAnswerList::TAnswerList(QWidget* parent) : TLineView(parent) {}

void TAnswerList::SetCurrentRow(qsizetype row) {
    const qsizetype before = current_;
    current_ = row >= 0 && row < Count() ? row : -1;
    if (current_ >= 0) ScrollToRow(current_);
    viewport()->update();
    if (current_ == before || current_ < 0 || !QAccessible::isActive()) return;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(this);
    QAccessibleInterface* item = list ? list->child(int(current_)) : nullptr;
    if (!item) return;
    QAccessibleEvent selection(item, QAccessible::Selection);
    QAccessible::updateAccessibility(&selection);
    if (hasFocus()) {
        QAccessibleEvent focus(item, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void TAnswerList::CopyCurrentRow() const {
    if (current_ >= 0) QApplication::clipboard()->setText(LineText(current_));
}

void TAnswerList::CopyAll() const {
    if (Count() > 0) QApplication::clipboard()->setText(toPlainText());
}

void TAnswerList::contextMenuEvent(QContextMenuEvent* event) {
    // A right click picks the row under the mouse first, as in a list box.
    const qsizetype row = RowAt(viewport()->mapFromGlobal(event->globalPos()).y());
    if (event->reason() == QContextMenuEvent::Mouse && row >= 0) SetCurrentRow(row);
    QMenu menu(this);
    menu.addAction(tr("&Copy"), this, &TAnswerList::CopyCurrentRow)->setEnabled(current_ >= 0);
    menu.addAction(tr("Copy &All"), this, &TAnswerList::CopyAll)->setEnabled(Count() > 0);
    menu.exec(event->globalPos());
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
    if (event->matches(QKeySequence::Copy)) return CopyCurrentRow();
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
