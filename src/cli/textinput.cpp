#include "cli/textinput.h"

#include "platform/fileerror.h"
#include "platform/interruptcleanup.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A secret longer than this is cut (every use refuses far shorter ones with its own words).
constexpr qsizetype kSecretLineLimit = 64 * 1024;

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

void ForEachLineOfStandardInput(const std::function<void(QByteArrayView line)>& line) {
    QByteArray partial;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) RaiseFileError(errno);
        if (n == 0) break;
        QByteArrayView piece(buffer, n);
        for (qsizetype end; (end = piece.indexOf('\n')) >= 0; piece = piece.sliced(end + 1)) {
            QByteArrayView whole = piece.first(end);
            if (!partial.isEmpty()) {
                partial.append(whole);
                whole = partial;
            }
            if (whole.endsWith('\r')) whole.chop(1);
            line(whole);
            partial.clear();
        }
        partial.append(piece);
    }
    if (partial.endsWith('\r')) partial.chop(1);
    if (!partial.isEmpty()) line(partial);
}

QStringList TextLines(const QByteArray& bytes) {
    QStringList lines;
    for (const QByteArray& line : SplitLines(bytes))
        lines << QString::fromUtf8(line);
    return lines;
}

std::optional<QByteArray> ReadSecretLine(const QString& prompt) {
    termios saved{};
    const bool terminal = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    InterruptCleanup::Slot restore = -1;
    if (terminal) {
        std::fputs(prompt.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
        restore = InterruptCleanup::RestoreTerminalOnInterrupt(STDIN_FILENO, saved);
        termios quiet = saved;
        quiet.c_lflag &= tcflag_t(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    // Byte by byte, so that nothing after the line is taken from standard input.
    QByteArray line;
    bool ended = false;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ended = line.isEmpty();
            break;
        }
        if (c == '\n') break;
        if (line.size() < kSecretLineLimit) line += c;
    }
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        InterruptCleanup::Forget(restore);
        std::fputc('\n', stderr);
    }
    if (line.endsWith('\r')) line.chop(1);
    if (ended) return std::nullopt;
    return line;
}
