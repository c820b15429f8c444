// The answer views as the user meets them: selecting and copying text with mouse and keys, picking
// list rows, following new lines, scrolling to long ones; and as assistive technology reads them.
#include "lookup/ui/answerlist.h"
#include "lookup/ui/answermemo.h"
#include "lookup/ui/lineviewaccessible.h"
#include "platform/wait.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
template <class View> void Show(View& view, int lines) {
    view.resize(300, 200);
    for (int i = 0; i < lines; ++i)
        view.AddText(QString("line %1 of the answer").arg(i));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    ProcessPendingEvents();
}

// The viewport point of a character position, half-way up its line.
QPoint PointOf(const TAnswerMemo& memo, qsizetype row, const QString& before) {
    const QRect line = memo.RowRect(row);
    return QPoint(3 + memo.fontMetrics().horizontalAdvance(before), line.center().y());
}
} // namespace

TEST(AnswerMemo, TextIsSelectedWithTheMouseOrCtrlAAndCopiedWithCtrlC) {
    TAnswerMemo memo;
    Show(memo, 5);
    QApplication::clipboard()->clear();
    QWidget* area = memo.viewport();

    // Drag from inside line 1 to inside line 3.
    QTest::mousePress(area, Qt::LeftButton, {}, PointOf(memo, 1, "line 1 "));
    QTest::mouseMove(area, PointOf(memo, 2, "line 2 of the"));
    QTest::mouseMove(area, PointOf(memo, 3, "line"));
    QTest::mouseRelease(area, Qt::LeftButton, {}, PointOf(memo, 3, "line"));
    EXPECT_EQ(memo.SelectedText(), "of the answer\nline 2 of the answer\nline");
    QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "of the answer\nline 2 of the answer\nline");

    QTest::mouseDClick(area, Qt::LeftButton, {}, PointOf(memo, 4, "li"));
    EXPECT_EQ(memo.SelectedText(), "line 4 of the answer");

    QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), memo.toPlainText());
    EXPECT_EQ(memo.toPlainText().count('\n'), 4);
}

TEST(AnswerMemo, NewLinesAreFollowedOnlyWhileTheViewIsAtItsEnd) {
    TAnswerMemo memo;
    Show(memo, 200);
    QScrollBar* bar = memo.verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    memo.AddText("one more");
    ProcessPendingEvents();
    EXPECT_EQ(bar->value(), bar->maximum());
    const QRect last = memo.RowRect(memo.Count() - 1);
    EXPECT_TRUE(memo.viewport()->rect().contains(last)) << last.y();

    // The user scrolls back to read; what arrives then does not pull the view down.
    QTest::keyClick(&memo, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(bar->value(), 0);
    memo.AddText("and another");
    ProcessPendingEvents();
    EXPECT_EQ(bar->value(), 0);
    QTest::keyClick(&memo, Qt::Key_PageDown);
    EXPECT_GT(bar->value(), 0);
}

TEST(AnswerMemo, ALongLineCanBeScrolledToItsEnd) {
    TAnswerMemo memo;
    Show(memo, 3);
    memo.AddText(QString(2000, 'w') + " end");
    // Its width is known once it has been drawn.
    QTest::qWait(50);
    QScrollBar* bar = memo.horizontalScrollBar();
    EXPECT_GE(bar->maximum() + memo.viewport()->width(),
              memo.fontMetrics().horizontalAdvance(QString(2000, 'w') + " end"));
    QTest::keyClick(&memo, Qt::Key_End);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(AnswerList, ARowIsPickedByClickOrArrowKeyAndDoubleClicked) {
    TAnswerList list;
    Show(list, 10);
    QSignalSpy doubleClicks(&list, &TAnswerList::RowDoubleClicked);
    EXPECT_EQ(list.CurrentRow(), -1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.RowRect(2).center());
    EXPECT_EQ(list.CurrentRow(), 2);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.CurrentRow(), 3);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.RowRect(5).center());
    ASSERT_EQ(doubleClicks.size(), 1);
    EXPECT_EQ(doubleClicks.front().front().value<qsizetype>(), 5);
    EXPECT_EQ(list.CurrentRow(), 5);
    // A click below the last row picks nothing.
    list.Clear();
    list.AddText("only");
    ProcessPendingEvents();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      QPoint(10, list.viewport()->height() - 2));
    EXPECT_EQ(list.CurrentRow(), -1);
}

TEST(AnswerList, ServerBytesAreShownDecodedLineByLine) {
    TAnswerList list;
    Show(list, 0);
    list.AddBytes("Name: M\xFCller");
    list.AddBytes("Name: M\xC3\xBCller");
    EXPECT_EQ(list.LineText(0), "Name: M\u00fcller");
    EXPECT_EQ(list.LineText(1), "Name: M\u00fcller");
}

TEST(AnswerList, TheCurrentRowIsCopiedWithCtrlCOrTheContextMenu) {
    TAnswerList list;
    Show(list, 4);
    QApplication::clipboard()->clear();
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), ""); // nothing picked, nothing copied
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.RowRect(2).center());
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "line 2 of the answer");

    // A right click on a row picks it; the menu's "Copy" takes it, "Copy All" every line.
    auto chooseFromMenu = [&](qsizetype row, const QString& item) {
        QTimer::singleShot(0, [item] {
            ASSERT_TRUE(WaitUntil(
                [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }, 5000));
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* action : menu->actions())
                if (action->text().remove('&') == item)
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(action).center());
        });
        const QPoint at = list.RowRect(row).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list.viewport()->mapToGlobal(at));
        QApplication::sendEvent(list.viewport(), &event);
    };
    chooseFromMenu(1, "Copy");
    EXPECT_EQ(list.CurrentRow(), 1);
    EXPECT_EQ(QApplication::clipboard()->text(), "line 1 of the answer");
    chooseFromMenu(3, "Copy All");
    EXPECT_EQ(
        QApplication::clipboard()->text(),
        "line 0 of the answer\nline 1 of the answer\nline 2 of the answer\nline 3 of the answer");
}

TEST(AnswerViewsAccessibility, TheMemoIsReadOnlyTextWithOffsetsOverItsLines) {
    InstallLineViewAccessibility();
    TAnswerMemo memo;
    memo.setAccessibleName("WHOIS answer");
    Show(memo, 0);
    memo.AddText("Domain: b\u00fccher.example");
    memo.AddText("");
    memo.AddText("Status:\tactive");
    ProcessPendingEvents();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&memo);
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_EQ(iface->text(QAccessible::Name), "WHOIS answer");
    EXPECT_TRUE(iface->state().readOnly);
    QAccessibleTextInterface* text = iface->textInterface();
    ASSERT_TRUE(text);
    const QString whole = "Domain: b\u00fccher.example\n\nStatus:\tactive";
    EXPECT_EQ(text->characterCount(), whole.size());
    EXPECT_EQ(text->text(0, text->characterCount()), whole);
    EXPECT_EQ(text->text(8, 22), whole.mid(8, 14));
    EXPECT_EQ(text->text(20, 30), whole.mid(20, 10)); // across the empty line

    int start = -1, end = -1;
    // The empty line is a line of its own; the one after it starts past both LFs.
    EXPECT_EQ(text->textAtOffset(23, QAccessible::LineBoundary, &start, &end), "\n");
    EXPECT_EQ(std::pair(start, end), std::pair(23, 24));
    EXPECT_EQ(text->textAfterOffset(23, QAccessible::LineBoundary, &start, &end),
              "Status:\tactive");
    EXPECT_EQ(text->textBeforeOffset(23, QAccessible::LineBoundary, &start, &end),
              "Domain: b\u00fccher.example\n");
    EXPECT_EQ(text->textAtOffset(10, QAccessible::WordBoundary, &start, &end), "b\u00fccher");
    EXPECT_EQ(std::pair(start, end), std::pair(8, 14));
    EXPECT_EQ(text->textAtOffset(0, QAccessible::CharBoundary, &start, &end), "D");
    EXPECT_EQ(text->textBeforeOffset(0, QAccessible::CharBoundary, &start, &end), "");

    // Selection and caret are the memo's own.
    text->setSelection(0, 8, 22);
    EXPECT_EQ(memo.SelectedText(), "b\u00fccher.example");
    EXPECT_EQ(text->cursorPosition(), 22);
    memo.SelectAll();
    EXPECT_EQ(text->selectionCount(), 1);
    text->selection(0, &start, &end);
    EXPECT_EQ(std::pair(start, end), std::pair(0, int(whole.size())));
    text->setCursorPosition(3);
    EXPECT_EQ(text->selectionCount(), 0);
    EXPECT_EQ(memo.Caret(), (TAnswerMemo::Position{0, 3}));

    // Offsets follow the view when it is emptied and filled again.
    memo.Clear();
    EXPECT_EQ(text->characterCount(), 0);
    EXPECT_EQ(text->text(0, -1), "");
    memo.AddText("x");
    EXPECT_EQ(text->text(0, -1), "x");

    // The character under a point and the point of a character agree.
    const QRect rect = text->characterRect(0);
    ASSERT_FALSE(rect.isEmpty());
    EXPECT_EQ(text->offsetAtPoint(rect.topLeft() + QPoint(1, rect.height() / 2)), 0);
}

TEST(AnswerViewsAccessibility, TheListsItemsAreItsLinesMadeWhenAskedAndGoneWhenEmptied) {
    InstallLineViewAccessibility();
    TAnswerList list;
    list.setAccessibleName("Finger answer");
    Show(list, 40000);
    QTest::keyClick(&list, Qt::Key_Home, Qt::ControlModifier); // back from following the end
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&list);
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->role(), QAccessible::List);
    EXPECT_EQ(iface->childCount(), 40000);
    QAccessibleInterface* last = iface->child(39999);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->role(), QAccessible::ListItem);
    EXPECT_EQ(last->text(QAccessible::Name), "line 39999 of the answer");
    EXPECT_EQ(iface->indexOfChild(last), 39999);
    EXPECT_EQ(last->parent(), iface);
    EXPECT_EQ(iface->child(39999), last); // made once
    EXPECT_TRUE(last->state().offscreen);

    // The item under the mouse is the one at its point; picking a row selects its item.
    QAccessibleInterface* second = iface->child(1);
    const QPoint inSecond = list.viewport()->mapToGlobal(list.RowRect(1).center());
    EXPECT_EQ(iface->childAt(inSecond.x(), inSecond.y()), second);
    EXPECT_FALSE(second->state().selected);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.RowRect(1).center());
    EXPECT_TRUE(second->state().selected);
    EXPECT_EQ(second->rect().center(), inSecond);

    // Emptied, the items made before no longer stand for any line.
    const QAccessible::Id id = QAccessible::uniqueId(second);
    list.Clear();
    EXPECT_EQ(iface->childCount(), 0);
    list.AddText("new");
    EXPECT_EQ(iface->childCount(), 1);
    EXPECT_EQ(iface->child(0)->text(QAccessible::Name), "new");
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}
