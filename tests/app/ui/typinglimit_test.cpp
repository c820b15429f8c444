// Typing limits hold back the user's typing only.
#include "app/ui/typinglimit.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(TypingLimit, StopsTypingAtTheLimit) {
    QLineEdit edit;
    SetTypingLimit(&edit, 2);
    EXPECT_EQ(TypingLimit(&edit), 2);
    QTest::keyClicks(&edit, "USA");
    EXPECT_EQ(edit.text(), "US");
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClicks(&edit, "X");
    EXPECT_EQ(edit.text(), "US");
}

TEST(TypingLimit, APasteBeyondTheLimitIsRefused) {
    QLineEdit edit;
    SetTypingLimit(&edit, 15);
    edit.setText("10.");
    edit.end(false);
    QApplication::clipboard()->setText("0.0.1 and more text");
    edit.paste();
    EXPECT_EQ(edit.text(), "10.");
    QApplication::clipboard()->setText("0.0.1");
    edit.paste();
    EXPECT_EQ(edit.text(), "10.0.0.1");
}

TEST(TypingLimit, ProgramTextIsNotCutAndCanBeShortened) {
    QLineEdit edit;
    SetTypingLimit(&edit, 1);
    edit.setText("Individual");
    EXPECT_EQ(edit.text(), "Individual");
    edit.end(false);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "Individua");
    QTest::keyClicks(&edit, "l");
    EXPECT_EQ(edit.text(), "Individua");
}

TEST(TypingLimit, NoLimitTakesAnyLength) {
    QLineEdit edit;
    SetTypingLimit(&edit, 0);
    EXPECT_EQ(TypingLimit(&edit), 0);
    QTest::keyClicks(&edit, "ns1.example.com");
    EXPECT_EQ(edit.text(), "ns1.example.com");
}
