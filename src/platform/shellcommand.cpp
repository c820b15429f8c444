#include "platform/shellcommand.h"

#include "platform/childstart.h"
#include "platform/descriptorlines.h"
#include "platform/interruptcleanup.h"
#include "platform/peertext.h"
#include "platform/tasks.h"

#include <QDeadlineTimer>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// A secret is one short line; a command that prints more without a line end is cut here.
constexpr qsizetype kLineLimit = 64 * 1024;
// Of standard error only the last line is kept, at most this much of it.
constexpr qsizetype kReasonLimit = 1024;
// Without a process descriptor (older kernels) the end of a command is looked for this often.
constexpr int kExitLookMs = 50;

int RemainingMs(const QDeadlineTimer& deadline) {
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

// The started command: its shell, which leads the process group.
struct Command {
    pid_t pid = -1;
    int pidfd = -1; // readable once the shell has ended
    InterruptCleanup::Slot slot = -1;

    // Whether the shell has ended (it stays unreaped, so its group's number stays taken).
    bool Ended() const {
        siginfo_t info{};
        return ::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == pid;
    }
    // Waits until the shell ends, the deadline passes or `wake` becomes readable; true when it
    // ended.
    bool WaitEnd(const QDeadlineTimer& deadline, int wake = -1) const {
        for (;;) {
            if (Ended()) return true;
            const int left = RemainingMs(deadline);
            if (left == 0) return false;
            pollfd p[2] = {{pidfd, POLLIN, 0}, {wake, POLLIN, 0}};
            const int ready =
                pidfd >= 0 ? ::poll(p, 2, left) : ::poll(p + 1, 1, std::min(left, kExitLookMs));
            if (ready > 0 && (p[1].revents & POLLIN)) return Ended();
        }
    }
    // Kills whatever of the group still runs, then reaps the shell: reaped last, its number cannot
    // name another group at the kill.
    void End() {
        ::kill(-pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        InterruptCleanup::Forget(slot);
        if (pidfd >= 0) ::close(pidfd);
        pidfd = -1;
    }
};

// After the line has come: the rest of the command runs on until it ends by itself, the deadline
// passes or the program ends, and is then ended and reaped by a pool worker.
void LeaveRunning(Command command, const QDeadlineTimer& deadline) {
    struct Handover {
        Command command;
        std::atomic<bool> taken{false};
    };
    auto handover = std::make_shared<Handover>();
    handover->command = command;
    CancelToken token;
    Tasks::Submit(token, [handover, deadline, token] {
        if (handover->taken.exchange(true)) return;
        handover->command.WaitEnd(deadline, token.WakeDescriptor());
        handover->command.End();
    });
    // A pool that has shut down runs nothing more: the group is ended here.
    if (token.Cancelled() && !handover->taken.exchange(true)) handover->command.End();
}

// The last non-empty line of standard error, from the pieces read.
class LastLine {
public:
    void Add(const char* data, qsizetype size) {
        for (const QByteArray& line : lines_.Add(data, size))
            if (!line.trimmed().isEmpty()) last_ = line;
    }
    QByteArray Text() const {
        QByteArray line = lines_.Pending().trimmed().isEmpty() ? last_ : lines_.Pending();
        if (line.endsWith('\r')) line.chop(1);
        return line.trimmed();
    }

private:
    LineSplitter lines_{kReasonLimit};
    QByteArray last_;
};

void ReadInto(int fd, LastLine& reason, bool& open) {
    if (!ReadAvailable(fd, [&reason](const char* d, qsizetype n) { reason.Add(d, n); }))
        open = false;
}

QString Seconds(int ms) {
    const int seconds = (ms + 999) / 1000;
    return QString::number(seconds) + (seconds == 1 ? " second" : " seconds");
}

Result<Command> Start(const QString& command, int out, int err) {
    // A group of its own, so that the deadline ends everything the command started.
    const Result<pid_t> pid =
        StartChild(ChildStart{"/bin/sh",
                              {"-c", command.toLocal8Bit()},
                              {{-1, STDIN_FILENO}, {out, STDOUT_FILENO}, {err, STDERR_FILENO}},
                              true});
    if (!pid) return Fail(pid.Error());
    Command started;
    started.pid = pid.Value();
    started.slot = InterruptCleanup::KillGroupOnInterrupt(started.pid);
    started.pidfd = int(::syscall(SYS_pidfd_open, started.pid, 0));
    return started;
}
} // namespace

Result<QByteArray> SecretFromCommand(const QString& command, const QString& name, int timeoutMs) {
    const QString what = "The " + name;
    const QDeadlineTimer deadline(timeoutMs);
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return Fail(what +
                    " could not be started: " + QString::fromLocal8Bit(std::strerror(errno)));
    if (::pipe2(err, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(out[0]);
        ::close(out[1]);
        return Fail(what +
                    " could not be started: " + QString::fromLocal8Bit(std::strerror(error)));
    }
    // Our ends only: the command writes as any program does, blocking when we lag.
    ::fcntl(out[0], F_SETFL, O_NONBLOCK);
    ::fcntl(err[0], F_SETFL, O_NONBLOCK);
    Result<Command> started = Start(command, out[1], err[1]);
    ::close(out[1]);
    ::close(err[1]);
    if (!started) {
        ::close(out[0]);
        ::close(err[0]);
        return Fail(what + " could not be started: " + started.Error());
    }
    Command child = started.Value();
    const QString timedOut = what + " did not answer within " + Seconds(timeoutMs) + ".";

    // Until the first line end, the end of its output or the end of the shell (whose children
    // may keep the output open).
    QByteArray line;
    LastLine reason;
    bool outOpen = true, errOpen = true, haveLine = false, ended = false;
    auto readOut = [&] {
        char buffer[4096];
        while (outOpen && !haveLine) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EAGAIN) return;
            if (n <= 0) {
                outOpen = false;
                return;
            }
            const qsizetype end = QByteArrayView(buffer, n).indexOf('\n');
            line.append(buffer, end >= 0 ? end : n);
            haveLine = end >= 0 || line.size() >= kLineLimit;
        }
    };
    while (outOpen && !haveLine && !ended) {
        pollfd p[3] = {
            {out[0], POLLIN, 0}, {errOpen ? err[0] : -1, POLLIN, 0}, {child.pidfd, POLLIN, 0}};
        const int left = RemainingMs(deadline);
        const int ready = ::poll(p, 3, child.pidfd >= 0 ? left : std::min(left, kExitLookMs));
        if (ready < 0 && errno == EINTR) continue;
        if (p[1].revents) ReadInto(err[0], reason, errOpen);
        if (p[0].revents) readOut();
        ended = child.Ended();
        if (ready == 0 && !ended && RemainingMs(deadline) == 0) {
            ::close(out[0]);
            ::close(err[0]);
            child.End();
            return Fail(timedOut);
        }
    }
    // What it printed before it ended.
    if (ended) readOut();
    ::close(out[0]);
    if (line.endsWith('\r')) line.chop(1);
    if (haveLine) {
        ::close(err[0]);
        LeaveRunning(child, deadline);
        return line;
    }

    // Its output ended without a line end: its end tells whether what it printed is the answer.
    while (!child.Ended()) {
        pollfd p[2] = {{child.pidfd, POLLIN, 0}, {errOpen ? err[0] : -1, POLLIN, 0}};
        const int left = RemainingMs(deadline);
        if (left == 0) break;
        const int ready = ::poll(p, 2, child.pidfd >= 0 ? left : std::min(left, kExitLookMs));
        if (ready > 0 && p[1].revents) ReadInto(err[0], reason, errOpen);
    }
    if (!child.Ended()) {
        ::close(err[0]);
        child.End();
        return Fail(timedOut);
    }
    if (errOpen) ReadInto(err[0], reason, errOpen);
    ::close(err[0]);
    siginfo_t info{};
    ::waitid(P_PID, id_t(child.pid), &info, WEXITED | WNOWAIT);
    child.End();
    if (info.si_code == CLD_EXITED && info.si_status == 0) return line;
    const QString how = info.si_code == CLD_EXITED
                            ? "exit status " + QString::number(info.si_status)
                            : "killed by signal " + QString::number(info.si_status);
    const QByteArray said = reason.Text();
    return Fail(
        what + " failed (" + how + ")" +
        (said.isEmpty() ? QString(".") : ": " + PeerTextFromBytes(said, PeerTextLines::Escape)));
}
