#pragma once
// The one way work leaves the window thread. Blocking work (a resolver, a library that waits for
// a process or a person, network questions) runs on a small pool of threads the program owns; its
// result comes back through the event queue of the thread that asked (the window thread), so the
// window stays responsive and no lock guards what the window's objects hold.
//
// No thread is ever detached: Tasks::Shutdown() cancels every token handed out and joins every
// worker, and the program's main functions (and every test program's) call it before they end.
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

// Tells work that its result is no longer wanted (Cancel was pressed, the window closed, the
// program ends). Copies share one state; cancelling any copy cancels them all.
class CancelToken {
public:
    CancelToken();
    void Cancel() const;
    bool Cancelled() const;
    // A descriptor that becomes readable once the token is cancelled: poll it beside sockets, so a
    // wait for an answer ends at once on Cancel.
    int WakeDescriptor() const;
    // Sleeps `ms` milliseconds, or less when cancelled; false when cancelled.
    bool SleepFor(int ms) const;
    bool operator==(const CancelToken& other) const { return state_ == other.state_; }

    struct State;

private:
    std::shared_ptr<State> state_;
};

namespace Tasks {
// The pool's size: questions to several servers at once fit; more work waits its turn.
constexpr int kMaxWorkers = 16;

// Runs `job` on a pool thread; the token is cancelled at Shutdown. Used by the templates below.
void Submit(const CancelToken& token, std::function<void()> job);
// Runs `call` on the thread of the program's event loop, from any thread, also while it ends.
void PostToWindowThread(std::function<void()> call);

// Runs `work(token)` on a pool thread. Unless the token was cancelled or `context` deleted by
// then, `done(result)` runs afterwards on the window thread, through its event queue.
template <class T>
void Run(QObject* context, const CancelToken& token, std::function<T(const CancelToken&)> work,
         std::function<void(T)> done) {
    QPointer<QObject> alive(context);
    Submit(token, [alive, token, work = std::move(work), done = std::move(done)]() mutable {
        auto result = std::make_shared<T>(work(token));
        if (token.Cancelled()) return;
        PostToWindowThread([alive, token, result, done] {
            if (alive && !token.Cancelled()) done(std::move(*result));
        });
    });
}

// Runs `work` on a pool thread while the caller waits with the program's responsive wait (the
// window's events keep flowing, the wait sleeps until the work ends) and returns its result. For
// a call that the described flow makes the caller wait for, such as signing before a send.
// After Shutdown the work runs on the calling thread.
void RunWaiting(const std::function<void()>& job);
template <class T> T RunAndWait(const std::function<T()>& work) {
    std::optional<T> result;
    RunWaiting([&] { result.emplace(work()); });
    return std::move(*result);
}

// Cancels every token handed to Run or Submit, then joins every worker. Later calls run nothing.
void Shutdown();
// Workers alive now (for tests).
int LiveWorkers();
} // namespace Tasks
