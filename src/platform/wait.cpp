#include "platform/wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return true;
    QElapsedTimer clock;
    clock.start();
    // The timer only exists to wake the blocking event wait when the time is over; it is re-armed
    // for the rest of the time whenever something else woke the loop.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!done()) {
        if (timeoutMs >= 0) {
            qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0) return done();
            wake.start(int(left));
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void ProcessPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
