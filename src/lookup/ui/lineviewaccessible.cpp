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
        const int anchor = Memo()->OffsetOf(Memo()->Anchor());
        const int caret = Memo()->OffsetOf(Memo()->Caret());
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
        Memo()->SelectRange(Memo()->PositionOf(start), Memo()->PositionOf(end));
    }
    int cursorPosition() const override { return Memo()->OffsetOf(Memo()->Caret()); }
    void setCursorPosition(int offset) override {
        const TAnswerMemo::Position at = Memo()->PositionOf(offset);
        Memo()->SelectRange(at, at);
        Memo()->ScrollToRow(at.row);
    }
    QString text(int start, int end) const override {
        if (end < 0 || end > characterCount()) end = characterCount();
        if (start >= end) return {};
        return Memo()->TextBetween(Memo()->PositionOf(start), Memo()->PositionOf(end));
    }
    int characterCount() const override { return Memo()->CharacterCount(); }

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
        const TAnswerMemo::Position at = Memo()->PositionOf(offset);
        const QRect rect = Memo()->CharacterRect(at.row, at.column);
        return rect.isNull() ? QRect() : rect.translated(Memo()->viewport()->mapToGlobal(QPoint()));
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Memo()->viewport()->mapFromGlobal(point);
        if (!Memo()->viewport()->rect().contains(local)) return -1;
        return Memo()->OffsetOf(Memo()->PositionAt(local));
    }
    void scrollToSubstring(int start, int) override {
        Memo()->ScrollToRow(Memo()->PositionOf(start).row);
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
        const TAnswerMemo& lines = *Memo();
        const int count = lines.CharacterCount();
        if (type == QAccessible::NoBoundary || lines.Count() == 0) return {0, count};
        const TAnswerMemo::Position at = lines.PositionOf(offset);
        const int lineStart = lines.LineStart(at.row);
        const int lineLength = lines.LineStart(at.row + 1) - lineStart - 1;
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
