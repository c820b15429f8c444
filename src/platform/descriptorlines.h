#pragma once
// Reading a child's output as it comes: what a non-blocking descriptor has, and the whole lines
// in it, each cut at a length so that a child printing without line ends cannot fill memory.
#include <QByteArray>
#include <QList>
#include <functional>

// Reads everything the descriptor has now into `take`; false once it has ended (or failed),
// true when it merely has nothing more for the moment.
bool ReadAvailable(int fd, const std::function<void(const char*, qsizetype)>& take);

class LineSplitter {
public:
    explicit LineSplitter(qsizetype limit) : limit_(limit) {}
    // The lines the piece completes, without their line ends.
    QList<QByteArray> Add(const char* data, qsizetype size);
    // The line begun and not yet ended.
    const QByteArray& Pending() const { return current_; }

private:
    qsizetype limit_;
    QByteArray current_;
};
