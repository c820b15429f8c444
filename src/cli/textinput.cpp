#include "cli/textinput.h"

#include "platform/fileerror.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray ReadDescriptor(int fd) {
    QByteArray bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) bytes.reserve(qsizetype(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) RaiseFileError(errno);
        if (n == 0) return bytes;
        bytes.append(buffer, n);
    }
}
} // namespace

QByteArray ReadStandardInput() {
    return ReadDescriptor(STDIN_FILENO);
}

QByteArray ReadFileBytes(const QString& path) {
    int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) RaiseFileError(errno);
    try {
        QByteArray bytes = ReadDescriptor(fd);
        ::close(fd);
        return bytes;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

QByteArrayList SplitLines(const QByteArray& bytes) {
    QByteArrayList lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    return lines;
}

QStringList TextLines(const QByteArray& bytes) {
    QStringList lines;
    for (const QByteArray& line : SplitLines(bytes))
        lines << QString::fromUtf8(line);
    return lines;
}
