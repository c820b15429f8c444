#include "platform/offthread.h"

#include "platform/wait.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>
#include <memory>
#include <thread>

void RunOffThread(const std::function<void()>& work) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    QObject* wake = QCoreApplication::instance();
    std::thread worker([&work, done, wake] {
        work();
        done->store(true);
        // An empty call through the event queue ends the wait's sleep.
        if (wake)
            QMetaObject::invokeMethod(
                wake, [] {}, Qt::QueuedConnection);
    });
    if (wake) WaitUntil([&done] { return done->load(); });
    worker.join();
}

void PostToWindowThread(std::function<void()> work) {
    // Never deleted: a thread still at work while the program ends must find it there. It
    // belongs to the window thread, whichever thread made it.
    static QObject* receiver = [] {
        auto* object = new QObject;
        if (QCoreApplication* app = QCoreApplication::instance())
            object->moveToThread(app->thread());
        return object;
    }();
    QMetaObject::invokeMethod(receiver, std::move(work), Qt::QueuedConnection);
}
