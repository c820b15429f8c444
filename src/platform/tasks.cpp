#include "platform/tasks.h"

#include "platform/wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Qt's event queue locks with futexes that ThreadSanitizer does not see: the hand-over of a
// call to the window thread is told to it here, so that the checked build knows it is ordered.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#define REGISCRIBE_TSAN_HANDOVER 1
#endif
#endif

struct CancelToken::State {
    std::atomic<bool> cancelled{false};
    int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ~State() {
        if (wake >= 0) ::close(wake);
    }
};

CancelToken::CancelToken() : state_(std::make_shared<State>()) {}

void CancelToken::Cancel() const {
    if (state_->cancelled.exchange(true)) return;
    const uint64_t one = 1;
    if (state_->wake >= 0 && ::write(state_->wake, &one, sizeof one) < 0) {
        // Only a full counter fails, and then the descriptor is readable already.
    }
}

bool CancelToken::Cancelled() const {
    return state_->cancelled.load();
}

int CancelToken::WakeDescriptor() const {
    return state_->wake;
}

bool CancelToken::SleepFor(int ms) const {
    pollfd wake{state_->wake, POLLIN, 0};
    if (!Cancelled()) ::poll(&wake, 1, ms);
    return !Cancelled();
}

namespace {
struct Job {
    CancelToken token;
    std::function<void()> run;
};

class Pool {
public:
    // Joins whatever is left when a program ends without calling Shutdown (an early return).
    ~Pool() { Shutdown(); }

    void Submit(const CancelToken& token, std::function<void()> run) {
        std::unique_lock lock(mutex_);
        if (stopped_) {
            token.Cancel();
            return;
        }
        queue_.push_back({token, std::move(run)});
        if (idle_ == 0 && int(workers_.size()) < Tasks::kMaxWorkers)
            workers_.emplace_back([this] { Work(); });
        else
            wake_.notify_one();
    }

    void Shutdown() {
        std::vector<std::thread> workers;
        {
            std::unique_lock lock(mutex_);
            stopped_ = true;
            for (const Job& job : queue_)
                job.token.Cancel();
            queue_.clear();
            for (const CancelToken& token : running_)
                token.Cancel();
            workers.swap(workers_);
        }
        wake_.notify_all();
        for (std::thread& w : workers)
            w.join();
    }

    int Live() {
        std::unique_lock lock(mutex_);
        return int(workers_.size());
    }

private:
    void Work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ++idle_;
            wake_.wait(lock, [this] { return stopped_ || !queue_.empty(); });
            --idle_;
            if (stopped_) return;
            Job job = std::move(queue_.front());
            queue_.pop_front();
            running_.push_back(job.token);
            lock.unlock();
            job.run();
            job.run = nullptr; // what it captured goes with it, outside the lock
            lock.lock();
            running_.erase(std::find(running_.begin(), running_.end(), job.token));
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    std::vector<CancelToken> running_;
    std::vector<std::thread> workers_;
    int idle_ = 0;
    bool stopped_ = false;
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

// A call for the window thread in an event of its own: once posted, only that thread touches it
// (the event queue deletes it there). A queued functor would instead be freed by whichever thread
// let go of it last.
class CallEvent : public QEvent {
public:
    explicit CallEvent(std::function<void()> call) : QEvent(Type()), call_(std::move(call)) {}
    static QEvent::Type Type() {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
    void Run() const { call_(); }

private:
    std::function<void()> call_;
};

class CallReceiver : public QObject {
public:
    bool event(QEvent* e) override {
#ifdef REGISCRIBE_TSAN_HANDOVER
        __tsan_acquire(e); // (before anything of the event is read, its type too)
#endif
        if (e->type() != CallEvent::Type()) return QObject::event(e);
        static_cast<const CallEvent*>(e)->Run();
        return true;
    }
};
} // namespace

namespace Tasks {
void Submit(const CancelToken& token, std::function<void()> job) {
    ThePool().Submit(token, std::move(job));
}

void PostToWindowThread(std::function<void()> call) {
    // Never deleted: a worker finishing while the program ends must find it there. It belongs to
    // the thread of the program's event loop, whichever thread made it.
    static QObject* receiver = [] {
        auto* object = new CallReceiver;
        if (QCoreApplication* app = QCoreApplication::instance())
            object->moveToThread(app->thread());
        return object;
    }();
    auto* event = new CallEvent(std::move(call));
#ifdef REGISCRIBE_TSAN_HANDOVER
    __tsan_release(event);
#endif
    QCoreApplication::postEvent(receiver, event);
}

void RunWaiting(const std::function<void()>& job) {
    struct Progress {
        std::mutex mutex;
        std::condition_variable ended;
        bool started = false;
        bool finished = false;
    };
    auto progress = std::make_shared<Progress>();
    CancelToken token;
    Submit(token, [&job, progress] {
        {
            std::lock_guard lock(progress->mutex);
            progress->started = true;
        }
        job();
        {
            std::lock_guard lock(progress->mutex);
            progress->finished = true;
        }
        progress->ended.notify_all();
        // An empty call through the event queue ends the responsive wait's sleep.
        if (QCoreApplication::instance()) PostToWindowThread([] {});
    });
    // Shut down before the job began: the pool runs nothing more, so the caller does it.
    auto dropped = [&] {
        std::lock_guard lock(progress->mutex);
        return token.Cancelled() && !progress->started;
    };
    auto finished = [&] {
        std::lock_guard lock(progress->mutex);
        return progress->finished;
    };
    if (QCoreApplication::instance()) {
        WaitUntil([&] { return finished() || dropped(); });
    } else {
        // (Shutdown cancels without telling this wait: it looks again now and then.)
        std::unique_lock lock(progress->mutex);
        while (!progress->ended.wait_for(lock, std::chrono::milliseconds(200), [&] {
            return progress->finished || (token.Cancelled() && !progress->started);
        })) {
        }
    }
    if (!finished() && dropped()) job();
}

void Shutdown() {
    ThePool().Shutdown();
}

int LiveWorkers() {
    return ThePool().Live();
}
} // namespace Tasks
