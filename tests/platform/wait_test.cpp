#include "platform/wait.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Wait, EndsWhenAnEventMakesTheConditionTrue) {
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    EXPECT_TRUE(WaitUntil([&] { return fired; }, 5000));
}

TEST(Wait, GivesUpWhenItsTimeIsOver) {
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(WaitUntil([] { return false; }, 100));
    EXPECT_GE(clock.elapsed(), 100);
}
