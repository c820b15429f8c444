// The form viewer window on its own.
#include "templates/ui/formviewer.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(FormViewer, ShowsEditableWrappedCourierTextAndCloseOnlyHidesIt) {
    TFormView viewer;
    EXPECT_EQ(viewer.windowTitle(), "Regiscribe Form Viewer");
    EXPECT_EQ(viewer.size(), QSize(522, 426));
    EXPECT_TRUE(viewer.isWindow());
    EXPECT_FALSE(viewer.isModal());
    EXPECT_EQ(viewer.Memo1->font().family(), "Courier New");
    EXPECT_EQ(viewer.Memo1->font().pointSize(), 8);
    EXPECT_FALSE(viewer.Memo1->isReadOnly());
    EXPECT_EQ(viewer.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(viewer.Memo1->tabStopDistance(), 8 * viewer.Memo1->fontMetrics().averageCharWidth());
    EXPECT_EQ(viewer.closebtn->text(), "Close");
    EXPECT_EQ(viewer.closebtn->size(), QSize(75, 33));

    viewer.SetLines({"Processed today", "", "\tNETWORK SOLUTIONS, INC."});
    EXPECT_EQ(viewer.Memo1->toPlainText(), "Processed today\n\n\tNETWORK SOLUTIONS, INC.");
    viewer.ShowViewer();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    // The button sits at the right of the bottom panel, below the memo.
    const QPoint button = viewer.closebtn->mapTo(&viewer, QPoint(0, 0));
    EXPECT_GT(button.x(), viewer.width() / 2);
    EXPECT_GE(button.y(), viewer.Memo1->geometry().bottom());
    EXPECT_EQ(viewer.height() - viewer.Memo1->geometry().bottom() - 1, 47);

    QTest::mouseClick(viewer.closebtn, Qt::LeftButton);
    EXPECT_FALSE(viewer.isVisible());
    EXPECT_TRUE(viewer.Memo1->toPlainText().startsWith("Processed today")); // kept for next time
}
