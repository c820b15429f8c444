#pragma once
// The one-second countdown that bounds each wait of the mail transport. Its ticks arrive through
// the event queue that the waits process.
#include <QObject>
#include <QTimer>

class TTimeCounter : public QObject {
public:
    explicit TTimeCounter(QObject* parent = nullptr);

    // Sets Remaining to TimeOut and starts the ticks; TimedOut is left as it is.
    void Start();
    void Stop();

    int Remaining() const { return remaining_; }
    int TimeOut() const { return timeOut_; }
    void SetTimeOut(int seconds) { timeOut_ = seconds; }
    bool TimedOut() const { return timedOut_; }
    void SetTimedOut(bool on) { timedOut_ = on; }

private:
    void Tick();

    QTimer timer_;
    int remaining_ = 0;
    int timeOut_ = 60;
    bool timedOut_ = false;
};
