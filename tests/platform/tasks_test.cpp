#include "platform/tasks.h"
#include "platform/wait.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>

TEST(Tasks, WorkRunsOffTheWindowThreadAndItsResultComesBackOnIt) {
    QObject context;
    QThread* worker = nullptr;
    QThread* told = nullptr;
    int result = 0;
    Tasks::Run<int>(
        &context, CancelToken(),
        [&](const CancelToken&) {
            worker = QThread::currentThread();
            return 42;
        },
        [&](int value) {
            told = QThread::currentThread();
            result = value;
        });
    ASSERT_TRUE(WaitUntil([&] { return result != 0; }, 5000));
    EXPECT_EQ(result, 42);
    EXPECT_NE(worker, QThread::currentThread());
    EXPECT_EQ(told, QThread::currentThread());
}

TEST(Tasks, NoResultReachesACancelledCallerOrADeletedContext) {
    std::atomic<int> finished{0};
    bool told = false;
    CancelToken cancelled;
    auto context = std::make_unique<QObject>();
    // Both jobs sleep until cancelled: Cancel wakes the first one at once.
    QElapsedTimer clock;
    clock.start();
    Tasks::Run<int>(
        context.get(), cancelled,
        [&](const CancelToken& t) {
            t.SleepFor(10000);
            ++finished;
            Tasks::PostToWindowThread([] {});
            return 1;
        },
        [&](int) { told = true; });
    Tasks::Run<int>(
        context.get(), CancelToken(),
        [&](const CancelToken&) {
            ++finished;
            Tasks::PostToWindowThread([] {});
            return 2;
        },
        [&](int) { told = true; });
    context.reset();
    cancelled.Cancel();
    ASSERT_TRUE(WaitUntil([&] { return finished == 2; }, 5000));
    ProcessPendingEvents();
    EXPECT_FALSE(told);
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(Tasks, ATokenWakesAPollAtOnce) {
    CancelToken token;
    pollfd wake{token.WakeDescriptor(), POLLIN, 0};
    EXPECT_EQ(::poll(&wake, 1, 0), 0);
    token.Cancel();
    EXPECT_EQ(::poll(&wake, 1, 0), 1);
    EXPECT_TRUE(CancelToken(token).Cancelled()); // copies share the state
}

TEST(Tasks, ThePoolIsBoundedAndMoreWorkWaitsItsTurn) {
    std::atomic<int> running{0}, most{0}, done{0};
    const int jobs = Tasks::kMaxWorkers * 3;
    for (int i = 0; i < jobs; ++i)
        Tasks::Submit(CancelToken(), [&] {
            const int now = ++running;
            for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
            }
            QThread::msleep(5);
            --running;
            ++done;
            Tasks::PostToWindowThread([] {}); // wakes the wait below
        });
    ASSERT_TRUE(WaitUntil([&] { return done == jobs; }, 10000));
    EXPECT_LE(most.load(), Tasks::kMaxWorkers);
    EXPECT_LE(Tasks::LiveWorkers(), Tasks::kMaxWorkers);
}

TEST(Tasks, RunAndWaitKeepsTheEventsFlowing) {
    bool eventSeen = false;
    QTimer::singleShot(10, [&] { eventSeen = true; });
    const int value = Tasks::RunAndWait<int>([] {
        QThread::msleep(100);
        return 7;
    });
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(eventSeen);
}
