#pragma once
// One row of the domain review summary: caption labels, each followed by its value label. Every
// value gets its whole width. When the row is too narrow for all of them, the pairs that do not
// fit go on a continuation line below, indented to the first value; only a value wider than a
// whole line is cut, showing an ellipsis and its whole text as tool tip.
#include <QLabel>
#include <QLayout>
#include <QList>

// A label that shows as much of its text as its width allows, ending in "…" when cut. Its text()
// stays the whole value.
class TElidingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // True when the text is wider than the label.
    bool IsCut() const;
    // The part of the text that is drawn.
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TReviewRowLayout : public QLayout {
public:
    explicit TReviewRowLayout(int spacing);
    ~TReviewRowLayout() override;

    // Adds a caption and its value.
    void AddPair(QLabel* caption, TElidingLabel* value);
    // The width of the row's first caption, shared by all rows so that they line up.
    void SetFirstCaptionWidth(int width) { firstCaptionWidth_ = width; }
    int FirstCaptionNaturalWidth() const;

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return int(items_.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;

private:
    int CaptionWidth(int pair) const;
    int LineHeight() const;
    // Between a value and the next caption: wider than between a caption and its value.
    int PairGap() const { return 3 * spacing_; }
    // Lays the pairs out in `rect` (placing them when `place`); returns the height used.
    int Arrange(const QRect& rect, bool place) const;
    QList<QLayoutItem*> items_; // caption, value, caption, value, ...
    int spacing_;
    int firstCaptionWidth_ = 0;
};
