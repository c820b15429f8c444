#pragma once
// The WhoIs tab's answer memo (mResponse): read-only lines with both scroll bars, whose text the
// user selects with the mouse or Ctrl+A and copies with Ctrl+C or the context menu.
#include "lookup/ui/lineview.h"

class TAnswerMemo : public TLineView {
    Q_OBJECT
public:
    explicit TAnswerMemo(QWidget* parent = nullptr);

    using Position = LinePosition;
    bool HasSelection() const { return anchor_ != cursor_; }
    // Where a selection started and where the caret is (its moving end).
    Position Anchor() const { return anchor_; }
    Position Caret() const { return cursor_; }
    QString SelectedText() const;
    // The text between two positions, lines joined by LF.
    QString TextBetween(Position from, Position to) const;
    // The position nearest to a viewport point.
    Position PositionAt(const QPoint& point) const;
    void SelectAll();
    void SelectRange(Position from, Position to);
    void Copy() const;
    void Clear() override;

protected:
    void AnnounceAdded(qsizetype firstNewLine) override;
    QList<QTextLayout::FormatRange> Highlights(qsizetype row, int length) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    Position anchor_, cursor_;
};
