#pragma once
// The Finger tab's answer list box (lResponse): one line a row, a current row picked with the
// mouse or the arrow keys, and a double click on a row. Ctrl+C and the context menu copy the
// current row; the menu copies the whole answer too.
#include "lookup/ui/lineview.h"

class TAnswerList : public TLineView {
    Q_OBJECT
public:
    explicit TAnswerList(QWidget* parent = nullptr);

    // The selected row, or -1.
    qsizetype CurrentRow() const { return current_; }
    void SetCurrentRow(qsizetype row);
    void Clear() override;
    void CopyCurrentRow() const;
    void CopyAll() const;

signals:
    void RowDoubleClicked(qsizetype row);

protected:
    bool WholeRowHighlighted(qsizetype row) const override { return row == current_; }
    QList<QTextLayout::FormatRange> Highlights(qsizetype row, int length) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    qsizetype current_ = -1;
};
