#pragma once
// The answer views of the look-up tabs draw their lines straight from a line store, only the ones
// in sight, so that adding a line costs the same whether the view holds ten lines or a million
// and a 20 MB answer arrives as fast as the server sends it. Lines added during one pass of the
// event loop are shown together: the scroll bars are set and the view repainted once per pass.
// This base draws and scrolls; the memo adds text selection, the list box a current line.
#include "lookup/linestore.h"

#include <QAbstractScrollArea>
#include <QTextLayout>
#include <QTimer>
#include <vector>

// A place in the text of a view: a row and a character of it.
struct LinePosition {
    qsizetype row = 0;
    int column = 0;
    auto operator<=>(const LinePosition&) const = default;
};

class TLineView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TLineView(QWidget* parent = nullptr);

    // Adds a line of the server's answer as received, or a line of the program's own.
    void AddBytes(QByteArrayView bytes);
    void AddText(const QString& text) { AddBytes(text.toUtf8()); }
    virtual void Clear();
    qsizetype Count() const { return store_.Count(); }
    QString LineText(qsizetype index) const { return store_.Text(index); }
    // Every line as shown, joined by LF.
    QString toPlainText() const { return store_.Joined(0, store_.Count() - 1); }
    // Counts the times the view was emptied, so that what was read of it before is known stale.
    quint64 Generation() const { return generation_; }

    // The line index over the text with lines joined by LF, for readers that count characters:
    // extended as lines arrive, rebuilt after the view was emptied, made only when asked for, so
    // that an answer of 40,000 lines costs nothing until a reader asks.
    int CharacterCount() const;
    int OffsetOf(LinePosition at) const;
    LinePosition PositionOf(int offset) const;
    int LineStart(qsizetype row) const;

    // Shows what was added since the last pass at once (the views do it by themselves on the
    // next pass of the event loop).
    void ShowAdded();
    // The row at a point of the viewport, or -1 below the last line.
    qsizetype RowAt(int y) const;
    // The viewport rectangle of a row.
    QRect RowRect(qsizetype row) const;
    void ScrollToRow(qsizetype row);
    int LineHeight() const { return lineHeight_; }
    // The character position in a row nearest to a viewport x.
    int ColumnAt(qsizetype row, int x) const;
    // The viewport rectangle of a character of a row (the end of the row when past its text).
    QRect CharacterRect(qsizetype row, int column) const;

protected:
    const TLineStore& Store() const { return store_; }
    qsizetype FirstVisibleRow() const;
    int TextLeft() const;
    // A row's text laid out in one line, tabs at every eighth average character width.
    void LayOut(QTextLayout& layout, qsizetype row) const;
    // Draws one row with its highlighted parts.
    void PaintRow(QPainter& painter, qsizetype row, const QRect& rect);
    // The highlighted parts of a row's text (of `length` characters); none by default.
    virtual QList<QTextLayout::FormatRange> Highlights(qsizetype row, int length) const;
    // Whether a row is highlighted across the view's whole width (a list's current line).
    virtual bool WholeRowHighlighted(qsizetype) const { return false; }
    // Tells assistive technology of the lines from `firstNewLine` on; called only while a reader
    // listens. A list's items are read when asked for, so the base tells nothing.
    virtual void AnnounceAdded(qsizetype firstNewLine) { Q_UNUSED(firstNewLine); }
    // The format of highlighted text.
    QTextCharFormat HighlightFormat() const;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Width of the widest line seen so far (measured when drawn, estimated from bytes before).
    int ContentWidth() const;

private:
    void UpdateScrollBars();
    void MeasureFont();
    // Brings the line index up to the lines held.
    void Index() const;

    TLineStore store_;
    QTimer showTimer_;
    int lineHeight_ = 1;
    int averageCharWidth_ = 1;
    mutable int widestDrawn_ = 0;
    bool followEnd_ = true;
    quint64 generation_ = 0;
    qsizetype announced_ = 0; // lines already told to assistive technology
    // Where each indexed line starts in the text; for the emptying counted by `indexed_`.
    mutable std::vector<qsizetype> starts_{0};
    mutable quint64 indexed_ = ~quint64(0);
};
