#include "replies/privatefiles.h"

#include "platform/fileerror.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray Name(const QString& path) {
    return QFile::encodeName(path);
}

Failure FileFailure(const QString& path, int error) {
    const QString why =
        error == ELOOP ? QStringLiteral("it is a symbolic link") : FileErrorMessage(error);
    return Fail("The file " + path + " could not be written: " + why + ".");
}

// Writes all of `bytes`; false with errno set when a write fails.
bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}
} // namespace

Done MakePrivateFolder(const QString& path) {
    if (::mkdir(Name(path).constData(), 0700) == 0) return {};
    const int error = errno;
    struct stat info {};
    if (error == EEXIST && ::lstat(Name(path).constData(), &info) == 0 && S_ISDIR(info.st_mode))
        return {};
    if (error == EEXIST)
        return Fail("The folder " + path + " could not be made: something else has its name.");
    return Fail("The folder " + path + " could not be made: " + FileErrorMessage(error) + ".");
}

Result<bool> WriteNewPrivateFile(const QString& path, const QByteArray& bytes) {
    const int fd =
        ::open(Name(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) return false;
    if (fd < 0) return FileFailure(path, errno);
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (written) return true;
    ::unlink(Name(path).constData());
    return FileFailure(path, error);
}

Done AppendPrivateLine(const QString& path, const QByteArray& line) {
    const int fd = ::open(Name(path).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return FileFailure(path, errno);
    struct stat before {};
    ::fstat(fd, &before);
    const ssize_t n = ::write(fd, line.constData(), size_t(line.size()));
    const int error = errno;
    // A short write (a full disk) is taken back: the log never holds half a line.
    if (n >= 0 && n < line.size()) (void)!::ftruncate(fd, before.st_size);
    ::close(fd);
    if (n == line.size()) return {};
    return FileFailure(path, n < 0 ? error : ENOSPC);
}

Done ReplacePrivateFile(const QString& path, const QByteArray& bytes) {
    QByteArray temporary = Name(path) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return FileFailure(path, errno);
    ::fchmod(fd, 0600);
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    ::close(fd);
    // The rename replaces a link of that name itself, never what it points at.
    if (ok && ::rename(temporary.constData(), Name(path).constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (ok) return {};
    ::unlink(temporary.constData());
    return FileFailure(path, error);
}

Result<QByteArray> ReadPrivateFile(const QString& path, qint64 limit) {
    const int fd = ::open(Name(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return QByteArray();
    if (fd < 0)
        return Fail(
            "The file " + path + " could not be read: " +
            (errno == ELOOP ? QStringLiteral("it is a symbolic link") : FileErrorMessage(errno)) +
            ".");
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return Fail("The file " + path + " could not be read: " + FileErrorMessage(error) +
                        ".");
        }
        if (n == 0 || bytes.size() >= limit) break;
        bytes.append(buffer, qsizetype(n));
    }
    ::close(fd);
    return bytes.left(limit);
}
