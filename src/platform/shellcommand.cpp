#include "platform/shellcommand.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ShellCommandResult RunShellCommand(const QString& command, int timeoutMs, qsizetype outputLimit) {
    ShellCommandResult result;
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray text = command.toLocal8Bit();
    char sh[] = "/bin/sh", c[] = "-c";
    char* argv[] = {sh, c, const_cast<char*>(text.constData()), nullptr};
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        return result;
    }
    result.started = true;
    QDeadlineTimer deadline(timeoutMs);
    bool timedOut = false;
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, int(std::max<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            timedOut = true;
            break;
        }
        char buffer[4096];
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (result.output.size() < outputLimit)
            result.output.append(
                buffer, qsizetype(std::min<qsizetype>(n, outputLimit - result.output.size())));
    }
    ::close(out[0]);
    if (timedOut) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.finished = !timedOut && WIFEXITED(status);
    if (result.finished) result.exitStatus = WEXITSTATUS(status);
    return result;
}

QByteArray FirstLine(const QByteArray& output) {
    QByteArray line = output;
    const qsizetype end = line.indexOf('\n');
    if (end >= 0) line.truncate(end);
    if (line.endsWith('\r')) line.chop(1);
    return line;
}
