#include "platform/childstart.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct Pipe {
    int read = -1, write = -1;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) == 0) {
            read = fds[0];
            write = fds[1];
        }
    }
    ~Pipe() {
        for (int fd : {read, write})
            if (fd >= 0) ::close(fd);
    }
    // All the child wrote, once our own write end is closed.
    QByteArray Drain() {
        ::close(write);
        write = -1;
        QByteArray all;
        char buffer[256];
        for (ssize_t n; (n = ::read(read, buffer, sizeof buffer)) > 0;)
            all.append(buffer, n);
        return all;
    }
};
} // namespace

// Two descriptors handed over crosswise (ours X becomes the child's Y and ours Y its X): neither
// overwrites the other's source. A descriptor not named does not reach the child, standard input
// given as -1 is empty, and the child leads a group of its own when asked.
TEST(ChildStart, CrossedDescriptorsArriveWhereNamedAndNothingElse) {
    Pipe a, b, unnamed;
    ASSERT_GE(unnamed.write, 0);
    const QByteArray x = QByteArray::number(a.write), y = QByteArray::number(b.write);
    const QByteArray script =
        "printf to-x >&" + x + "; printf to-y >&" + y + "; read line || printf ' stdin-empty' >&" +
        x + "; (printf leaked >&" + QByteArray::number(unnamed.write) + ") 2>/dev/null; exit 0";
    const Result<pid_t> pid = StartChild(
        {"/bin/sh", {"-c", script}, {{-1, 0}, {a.write, b.write}, {b.write, a.write}}, true});
    ASSERT_TRUE(pid) << pid.Error().toStdString();
    EXPECT_EQ(::getpgid(pid.Value()), pid.Value());
    int status = -1;
    ASSERT_EQ(::waitpid(pid.Value(), &status, 0), pid.Value());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(a.Drain(), "to-y");
    EXPECT_EQ(b.Drain(), "to-x stdin-empty");
    EXPECT_EQ(unnamed.Drain(), "");
}

TEST(ChildStart, AProgramThatCannotStartIsToldInTheSystemsWords) {
    const Result<pid_t> pid = StartChild({"/nonexistent/program", {}, {}, false});
    ASSERT_FALSE(pid);
    EXPECT_EQ(pid.Error(), "No such file or directory");
}
