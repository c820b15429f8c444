#include "mail/timecounter.h"

TTimeCounter::TTimeCounter(QObject* parent) : QObject(parent) {
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &TTimeCounter::Tick);
}

void TTimeCounter::Start() {
    remaining_ = timeOut_;
    timer_.start();
}

void TTimeCounter::Stop() {
    timer_.stop();
}

void TTimeCounter::Tick() {
    if (--remaining_ <= 0) timedOut_ = true;
}
