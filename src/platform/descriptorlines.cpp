#include "platform/descriptorlines.h"

#include <cerrno>
#include <unistd.h>

bool ReadAvailable(int fd, const std::function<void(const char*, qsizetype)>& take) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            take(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && errno == EAGAIN;
    }
}

QList<QByteArray> LineSplitter::Add(const char* data, qsizetype size) {
    QList<QByteArray> done;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            done << current_;
            current_.clear();
        } else if (current_.size() < limit_) {
            current_ += data[i];
        }
    }
    return done;
}
