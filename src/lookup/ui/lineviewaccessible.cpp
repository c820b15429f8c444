#include "lookup/ui/lineviewaccessible.h"
#include "lookup/ui/answerlist.h"
#include "lookup/ui/answermemo.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {
// Where each line of a view starts in its text (lines joined by LF), extended as lines arrive and
// rebuilt after the view was emptied.
class TLineOffsets {
public:
    void Update(const TLineView& view) {
        if (generation_ != view.Generation() || Lines() > view.Count()) {
            generation_ = view.Generation();
            starts_.assign(1, 0);
        }
        for (qsizetype row = Lines(); row < view.Count(); ++row)
            starts_.push_back(starts_.back() + view.LineText(row).size() + 1);
    }
    qsizetype Lines() const { return qsizetype(starts_.size()) - 1; }
    int CharacterCount() const { return int(Lines() == 0 ? 0 : starts_.back() - 1); }
    int Start(qsizetype row) const { return int(starts_[size_t(row)]); }
    int Length(qsizetype row) const { return Start(row + 1) - Start(row) - 1; }
    int OffsetOf(TAnswerMemo::Position at) const {
        if (Lines() == 0) return 0;
        const qsizetype row = std::clamp<qsizetype>(at.row, 0, Lines() - 1);
        return Start(row) + std::clamp(at.column, 0, Length(row));
    }
    TAnswerMemo::Position PositionOf(int offset) const {
        if (Lines() == 0) return {};
        offset = std::clamp(offset, 0, CharacterCount());
        const auto next = std::upper_bound(starts_.begin(), starts_.end() - 1, qsizetype(offset));
        const qsizetype row = qsizetype(next - starts_.begin()) - 1;
        return {row, offset - Start(row)};
    }

private:
    quint64 generation_ = ~quint64(0);
    std::vector<qsizetype> starts_{0};
};

QTextBoundaryFinder::BoundaryType FinderType(QAccessible::TextBoundaryType type) {
    switch (type) {
    case QAccessible::WordBoundary:
        return QTextBoundaryFinder::Word;
    case QAccessible::SentenceBoundary:
        return QTextBoundaryFinder::Sentence;
    default:
        return QTextBoundaryFinder::Grapheme;
    }
}

// The WHOIS memo: read-only text. The inherited text units would build the whole text for every
// question; here lines, paragraphs and the whole text are cut by the line index, and characters,
// words and sentences are looked for within their line.
class TMemoAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TMemoAccessible(TAnswerMemo* memo)
        : QAccessibleWidget(memo, QAccessible::EditableText) {}

    TAnswerMemo* Memo() const { return static_cast<TAnswerMemo*>(widget()); }
    const TLineOffsets& Offsets() const {
        offsets_.Update(*Memo());
        return offsets_;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return Memo()->toPlainText();
        return QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || !Memo()->HasSelection()) return;
        const int anchor = Offsets().OffsetOf(Memo()->Anchor());
        const int caret = Offsets().OffsetOf(Memo()->Caret());
        *start = std::min(anchor, caret);
        *end = std::max(anchor, caret);
    }
    int selectionCount() const override { return Memo()->HasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) Memo()->SelectRange(Memo()->Caret(), Memo()->Caret());
    }
    void setSelection(int index, int start, int end) override {
        if (index != 0) return;
        Memo()->SelectRange(Offsets().PositionOf(start), Offsets().PositionOf(end));
    }
    int cursorPosition() const override { return Offsets().OffsetOf(Memo()->Caret()); }
    void setCursorPosition(int offset) override {
        const TAnswerMemo::Position at = Offsets().PositionOf(offset);
        Memo()->SelectRange(at, at);
        Memo()->ScrollToRow(at.row);
    }
    QString text(int start, int end) const override {
        if (end < 0 || end > characterCount()) end = characterCount();
        if (start >= end) return {};
        return Memo()->TextBetween(Offsets().PositionOf(start), Offsets().PositionOf(end));
    }
    int characterCount() const override { return Offsets().CharacterCount(); }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                         int* end) const override {
        const auto [from, to] = UnitAt(offset, type);
        *start = from;
        *end = to;
        return text(from, to);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                             int* end) const override {
        const int unitStart = UnitAt(offset, type).first;
        if (unitStart <= 0) {
            *start = *end = 0;
            return {};
        }
        return textAtOffset(unitStart - 1, type, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                            int* end) const override {
        const int unitEnd = UnitAt(offset, type).second;
        if (unitEnd >= characterCount()) {
            *start = *end = characterCount();
            return {};
        }
        return textAtOffset(unitEnd, type, start, end);
    }

    QRect characterRect(int offset) const override {
        const TAnswerMemo::Position at = Offsets().PositionOf(offset);
        const QRect rect = Memo()->CharacterRect(at.row, at.column);
        return rect.isNull() ? QRect() : rect.translated(Memo()->viewport()->mapToGlobal(QPoint()));
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Memo()->viewport()->mapFromGlobal(point);
        if (!Memo()->viewport()->rect().contains(local)) return -1;
        return Offsets().OffsetOf(Memo()->PositionAt(local));
    }
    void scrollToSubstring(int start, int) override {
        Memo()->ScrollToRow(Offsets().PositionOf(start).row);
    }
    QString attributes(int offset, int* start, int* end) const override {
        // The answer has no formatting: one run over the whole text.
        *start = 0;
        *end = std::max(characterCount(), offset);
        return {};
    }

private:
    // The [start, end) offsets of the unit of text around an offset. The LF closing a line counts
    // with it as a line or paragraph and stands alone as a character or word.
    std::pair<int, int> UnitAt(int offset, QAccessible::TextBoundaryType type) const {
        const TLineOffsets& lines = Offsets();
        const int count = lines.CharacterCount();
        if (type == QAccessible::NoBoundary || lines.Lines() == 0) return {0, count};
        const TAnswerMemo::Position at = lines.PositionOf(offset);
        const int lineStart = lines.Start(at.row), lineLength = lines.Length(at.row);
        if (type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary)
            return {lineStart, std::min(count, lineStart + lineLength + 1)};
        if (at.column >= lineLength) return {lineStart + lineLength, std::min(count, offset + 1)};
        const QString line = Memo()->LineText(at.row);
        QTextBoundaryFinder finder(FinderType(type), line);
        finder.setPosition(at.column);
        const int before = finder.isAtBoundary() ? at.column : int(finder.toPreviousBoundary());
        finder.setPosition(at.column);
        const int after = int(finder.toNextBoundary());
        return {lineStart + std::max(0, before), lineStart + (after < 0 ? lineLength : after)};
    }

    mutable TLineOffsets offsets_;
};

class TListAccessible;

// One line of the Finger list; valid until the list is emptied.
class TRowAccessible : public QAccessibleInterface {
public:
    TRowAccessible(TAnswerList* list, qsizetype row)
        : list_(list), row_(row), generation_(list->Generation()) {}

    qsizetype Row() const { return row_; }
    bool isValid() const override {
        return list_ && list_->Generation() == generation_ && row_ < list_->Count();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(list_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && isValid() ? list_->LineText(row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect local = list_->RowRect(row_);
        return QRect(list_->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = state.focusable = true;
        state.selected = list_->CurrentRow() == row_;
        state.focused = state.selected && list_->hasFocus();
        state.invisible = !list_->isVisible();
        state.offscreen = !list_->viewport()->rect().intersects(list_->RowRect(row_));
        return state;
    }

private:
    QPointer<TAnswerList> list_;
    qsizetype row_;
    quint64 generation_;
};

// The Finger list: a list whose children are its lines, made when first asked for.
class TListAccessible : public QAccessibleWidget {
public:
    explicit TListAccessible(TAnswerList* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~TListAccessible() override { Forget(); }

    TAnswerList* List() const { return static_cast<TAnswerList*>(widget()); }

    int childCount() const override { return int(std::min<qsizetype>(List()->Count(), INT_MAX)); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        if (generation_ != List()->Generation()) {
            Forget();
            generation_ = List()->Generation();
        }
        auto known = rows_.find(index);
        if (known == rows_.end()) {
            auto* row = new TRowAccessible(List(), index);
            known = rows_.emplace(index, QAccessible::registerAccessibleInterface(row)).first;
        }
        return QAccessible::accessibleInterface(known->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* row = dynamic_cast<const TRowAccessible*>(child);
        return row && row->isValid() ? int(row->Row()) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = List()->viewport()->mapFromGlobal(QPoint(x, y));
        if (!List()->viewport()->rect().contains(local)) return nullptr;
        const qsizetype row = List()->RowAt(local.y());
        return row < 0 ? nullptr : child(int(row));
    }

private:
    void Forget() const {
        for (const auto& [row, id] : rows_)
            QAccessible::deleteAccessibleInterface(id);
        rows_.clear();
    }

    mutable std::unordered_map<qsizetype, QAccessible::Id> rows_;
    mutable quint64 generation_ = 0;
};

QAccessibleInterface* LineViewFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (className == QLatin1String("TAnswerMemo"))
        return new TMemoAccessible(static_cast<TAnswerMemo*>(object));
    if (className == QLatin1String("TAnswerList"))
        return new TListAccessible(static_cast<TAnswerList*>(object));
    return nullptr;
}
} // namespace

void InstallLineViewAccessibility() {
    static const bool installed = (QAccessible::installFactory(LineViewFactory), true);
    Q_UNUSED(installed);
}

void AnnounceAddedLines(TLineView* view, qsizetype firstNewLine) {
    auto* memo = qobject_cast<TAnswerMemo*>(view);
    if (!memo) return; // a list's items are read when asked for
    auto* iface = dynamic_cast<TMemoAccessible*>(QAccessible::queryAccessibleInterface(memo));
    if (!iface) return;
    const TLineOffsets& offsets = iface->Offsets();
    const int position = firstNewLine == 0 ? 0 : offsets.Start(firstNewLine) - 1;
    QString added = memo->TextBetween({firstNewLine, 0}, {memo->Count() - 1, INT_MAX});
    if (firstNewLine > 0) added.prepend(QLatin1Char('\n'));
    QAccessibleTextInsertEvent event(memo, position, added);
    QAccessible::updateAccessibility(&event);
}

void AnnounceSelection(TAnswerMemo* memo) {
    auto* iface = dynamic_cast<TMemoAccessible*>(QAccessible::queryAccessibleInterface(memo));
    if (!iface) return;
    int start = 0, end = 0;
    iface->selection(0, &start, &end);
    QAccessibleTextSelectionEvent selection(memo, start, end);
    QAccessible::updateAccessibility(&selection);
    QAccessibleTextCursorEvent caret(memo, iface->cursorPosition());
    QAccessible::updateAccessibility(&caret);
}

void AnnounceCurrentRow(TAnswerList* list) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface* row = iface ? iface->child(int(list->CurrentRow())) : nullptr;
    if (!row) return;
    QAccessibleEvent selection(row, QAccessible::Selection);
    QAccessible::updateAccessibility(&selection);
    if (list->hasFocus()) {
        QAccessibleEvent focus(row, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}
