#include "platform/childstart.h"

#include "platform/spawnsignals.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {
// Our descriptors are first copied above every number a child is given, so that one mapping
// cannot overwrite the source of another (3 -> 4 beside 4 -> 3).
constexpr int kCopiesFrom = 64;
} // namespace

Result<pid_t> StartChild(const ChildStart& start) {
    std::vector<int> copies;
    const auto closeCopies = [&copies] {
        for (int fd : copies)
            ::close(fd);
    };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const ChildDescriptor& d : start.descriptors) {
        if (d.parent < 0) {
            posix_spawn_file_actions_addopen(&actions, d.child, "/dev/null",
                                             d.child == 0 ? O_RDONLY : O_WRONLY, 0);
            continue;
        }
        const int copy = ::fcntl(d.parent, F_DUPFD_CLOEXEC, kCopiesFrom);
        if (copy < 0) {
            const int error = errno;
            posix_spawn_file_actions_destroy(&actions);
            closeCopies();
            return Fail(QString::fromLocal8Bit(std::strerror(error)));
        }
        copies.push_back(copy);
        posix_spawn_file_actions_adddup2(&actions, copy, d.child);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    short flags = FreshSignals(attributes);
    if (start.ownGroup) {
        posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&attributes, flags);

    QList<QByteArray> words{start.program};
    words += start.arguments;
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc =
        ::posix_spawn(&pid, start.program.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeCopies();
    if (rc != 0) return Fail(QString::fromLocal8Bit(std::strerror(rc)));
    return pid;
}
