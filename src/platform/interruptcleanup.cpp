#include "platform/interruptcleanup.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <unistd.h>

namespace {
enum SlotState { Free, Filling, Active };
enum SlotKind { Terminal, Group };

struct Entry {
    std::atomic<int> state{Free};
    SlotKind kind = Terminal;
    int fd = -1;
    termios settings{};
    pid_t group = 0;
};

constexpr int kSlots = 32;
Entry entries[kSlots];
constexpr int kSignals[] = {SIGINT, SIGTERM};
struct sigaction former[2];

void OnInterrupt(int signal) {
    const int savedErrno = errno;
    for (Entry& e : entries) {
        if (e.state.load() != Active) continue;
        if (e.kind == Terminal)
            ::tcsetattr(e.fd, TCSANOW, &e.settings);
        else
            ::kill(-e.group, SIGKILL);
    }
    // The signal's former course: the default ends the program once this handler returns.
    for (int i = 0; i < 2; ++i)
        if (kSignals[i] == signal) ::sigaction(signal, &former[i], nullptr);
    ::raise(signal);
    errno = savedErrno;
}

void InstallOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i < 2; ++i) {
            struct sigaction current {};
            ::sigaction(kSignals[i], nullptr, &current);
            former[i] = current;
            // A signal the program was told to ignore stays ignored.
            if (current.sa_handler == SIG_IGN) continue;
            struct sigaction ours {};
            ours.sa_handler = OnInterrupt;
            sigemptyset(&ours.sa_mask);
            ours.sa_flags = SA_RESTART;
            ::sigaction(kSignals[i], &ours, nullptr);
        }
    });
}

template <class Fill> InterruptCleanup::Slot Claim(Fill fill) {
    InstallOnce();
    for (int i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (!entries[i].state.compare_exchange_strong(expected, Filling)) continue;
        fill(entries[i]);
        entries[i].state.store(Active);
        return i;
    }
    return -1;
}
} // namespace

namespace InterruptCleanup {
Slot RestoreTerminalOnInterrupt(int fd, const termios& settings) {
    return Claim([&](Entry& e) {
        e.kind = Terminal;
        e.fd = fd;
        e.settings = settings;
    });
}

Slot KillGroupOnInterrupt(pid_t group) {
    return Claim([&](Entry& e) {
        e.kind = Group;
        e.group = group;
    });
}

void Forget(Slot slot) {
    if (slot >= 0 && slot < kSlots) entries[slot].state.store(Free);
}
} // namespace InterruptCleanup
