#include "support/childprocess.h"

#include "platform/spawnsignals.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
// Without a process file descriptor (an old kernel) the end of a child is looked for this often.
constexpr int kExitLookMs = 20;

qint64 NowMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

qint64 DeadlineIn(int timeoutMs) {
    return NowMs() + std::max(0, timeoutMs);
}

// Reads what `fd` holds now into `into`; closes it at its end.
void Drain(int& fd, QByteArray& into) {
    char buffer[65536];
    while (fd >= 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return;
        ::close(fd);
        fd = -1;
    }
}

// Our environment, with `variables` set.
std::vector<QByteArray> Environment(const std::vector<std::pair<QString, QString>>& variables) {
    std::vector<QByteArray> entries;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray name = entry.left(entry.indexOf('='));
        bool replaced = false;
        for (const auto& [n, v] : variables)
            replaced = replaced || n.toLocal8Bit() == name;
        if (!replaced) entries.push_back(entry);
    }
    for (const auto& [name, value] : variables)
        entries.push_back(name.toLocal8Bit() + '=' + value.toLocal8Bit());
    return entries;
}

std::vector<char*> Pointers(std::vector<QByteArray>& strings) {
    std::vector<char*> pointers;
    for (QByteArray& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}
} // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !ended_) {
        Kill();
        Reap(true);
    }
    CloseFd(in_);
    CloseFd(outFd_);
    CloseFd(errFd_);
    CloseFd(pidfd_);
}

void ChildProcess::SetVariable(const QString& name, const QString& value) {
    variables_.emplace_back(name, value);
}

void ChildProcess::SetVariables(const QStringList& entries) {
    for (const QString& entry : entries)
        SetVariable(entry.section('=', 0, 0), entry.section('=', 1));
}

bool ChildProcess::Start(const QString& program, const QStringList& args) {
    // A child that stops reading fails the write instead of ending this program.
    ::signal(SIGPIPE, SIG_IGN);
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    auto closeAll = [&] {
        for (int* pipe : {in, out, err})
            for (int i : {0, 1})
                if (pipe[i] >= 0) ::close(pipe[i]);
    };
    if (::pipe2(in, O_CLOEXEC) != 0 ||
        (outChannel_ == Channel::Pipe && ::pipe2(out, O_CLOEXEC) != 0) ||
        (errChannel_ == Channel::Pipe && ::pipe2(err, O_CLOEXEC) != 0)) {
        problem_ = QString::fromLocal8Bit(std::strerror(errno));
        closeAll();
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    if (outChannel_ == Channel::Pipe)
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    else if (outChannel_ != Channel::Inherit)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (errChannel_ == Channel::Pipe)
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    else if (errChannel_ == Channel::IntoOutput)
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    else if (errChannel_ == Channel::Null)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray dir = QFile::encodeName(workDir_);
    if (!workDir_.isEmpty()) posix_spawn_file_actions_addchdir_np(&actions, dir.constData());
    // Signals as a freshly started program has them (this program ignores SIGPIPE).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, FreshSignals(attributes));

    std::vector<QByteArray> argStrings{QFile::encodeName(program)};
    for (const QString& arg : args)
        argStrings.push_back(arg.toLocal8Bit());
    std::vector<QByteArray> envStrings = Environment(variables_);
    std::vector<char*> argv = Pointers(argStrings), envp = Pointers(envStrings);
    const int rc = ::posix_spawnp(&pid_, argStrings.front().constData(), &actions, &attributes,
                                  argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
        pid_ = 0;
        problem_ = program + ": " + QString::fromLocal8Bit(std::strerror(rc));
        closeAll();
        return false;
    }
    ::close(in[0]);
    in_ = in[1];
    ::fcntl(in_, F_SETFL, O_NONBLOCK);
    for (auto [pipe, fd] : {std::pair{out, &outFd_}, std::pair{err, &errFd_}}) {
        if (pipe[1] >= 0) ::close(pipe[1]);
        *fd = pipe[0];
        if (*fd >= 0) ::fcntl(*fd, F_SETFL, O_NONBLOCK);
    }
    pidfd_ = int(::syscall(SYS_pidfd_open, pid_, 0));
    return true;
}

bool ChildProcess::Step(qint64 deadlineMs, QByteArray* pending) {
    const bool writing = pending && !pending->isEmpty() && in_ >= 0;
    pollfd p[4] = {{outFd_, POLLIN, 0},
                   {errFd_, POLLIN, 0},
                   {ended_ ? -1 : pidfd_, POLLIN, 0},
                   {writing ? in_ : -1, POLLOUT, 0}};
    const qint64 left = std::max<qint64>(0, deadlineMs - NowMs());
    const bool looking = !ended_ && pidfd_ < 0;
    const int ready = ::poll(
        p, 4, int(looking ? std::min<qint64>(left, kExitLookMs) : std::min<qint64>(left, 60000)));
    if (ready < 0 && errno != EINTR) return false;
    if (p[0].revents) Drain(outFd_, out_);
    if (p[1].revents) Drain(errFd_, err_);
    if (!ended_ && (p[2].revents || looking)) Reap(false);
    if (writing && p[3].revents) {
        const ssize_t n = ::write(in_, pending->constData(), size_t(pending->size()));
        if (n > 0) {
            pending->remove(0, n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            CloseFd(in_);
            return false;
        }
    }
    return NowMs() < deadlineMs;
}

bool ChildProcess::Write(const QByteArray& data, int timeoutMs) {
    QByteArray pending = data;
    const qint64 deadline = DeadlineIn(timeoutMs);
    while (!pending.isEmpty()) {
        if (in_ < 0 || !Step(deadline, &pending)) return pending.isEmpty();
    }
    return true;
}

void ChildProcess::CloseInput() {
    CloseFd(in_);
}

bool ChildProcess::WaitForOutput(const QByteArray& text, int timeoutMs) {
    const qint64 deadline = DeadlineIn(timeoutMs);
    while (!out_.contains(text) && outFd_ >= 0)
        if (!Step(deadline)) break;
    return out_.contains(text);
}

bool ChildProcess::WaitForFinished(int timeoutMs) {
    if (pid_ <= 0) return false;
    const qint64 deadline = DeadlineIn(timeoutMs);
    while (!ended_)
        if (!Step(deadline)) break;
    if (!ended_) return false;
    // What it wrote before it ended is in the pipes; a child of its own may keep them open.
    Drain(outFd_, out_);
    Drain(errFd_, err_);
    return true;
}

bool ChildProcess::Running() {
    if (pid_ > 0 && !ended_) Reap(false);
    return pid_ > 0 && !ended_;
}

int ChildProcess::WaitForAny(const std::vector<ChildProcess*>& children, int timeoutMs) {
    const qint64 deadline = DeadlineIn(timeoutMs);
    for (;;) {
        std::vector<pollfd> fds;
        bool looking = false;
        for (size_t i = 0; i < children.size(); ++i) {
            ChildProcess& c = *children[i];
            if (!c.Running()) {
                c.WaitForFinished(0); // what it wrote before it ended
                return int(i);
            }
            looking = looking || c.pidfd_ < 0;
            fds.push_back({c.pidfd_, POLLIN, 0});
            fds.push_back({c.outFd_, POLLIN, 0});
            fds.push_back({c.errFd_, POLLIN, 0});
        }
        const qint64 left = deadline - NowMs();
        if (children.empty() || left <= 0) return -1;
        const qint64 wait = std::min<qint64>(left, looking ? kExitLookMs : 60000);
        if (::poll(fds.data(), nfds_t(fds.size()), int(wait)) < 0 && errno != EINTR) return -1;
        for (ChildProcess* c : children) {
            Drain(c->outFd_, c->out_);
            Drain(c->errFd_, c->err_);
        }
    }
}

void ChildProcess::Terminate() {
    if (pid_ > 0 && !ended_) ::kill(pid_, SIGTERM);
}

void ChildProcess::Kill() {
    if (pid_ > 0 && !ended_) ::kill(pid_, SIGKILL);
}

bool ChildProcess::Reap(bool block) {
    int status = 0;
    pid_t got;
    do
        got = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    while (got < 0 && errno == EINTR);
    if (got == 0) return false;
    ended_ = true;
    if (got == pid_ && WIFEXITED(status)) exitCode_ = WEXITSTATUS(status);
    signalled_ = got == pid_ && WIFSIGNALED(status);
    CloseFd(pidfd_);
    return true;
}

void ChildProcess::CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}
