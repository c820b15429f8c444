// The answer views as the user meets them: selecting and copying the memo's text with mouse and
// keys, picking list rows, following new lines, and scrolling to long ones.
#include "lookup/ui/answerlist.h"
#include "lookup/ui/answermemo.h"
#include "platform/wait.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
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
