#pragma once
// A compressed answer body expanded as it arrives, and never past a limit: a small answer that
// expands to gigabytes is stopped when what it gave passes the limit, whatever the pace at which
// its bytes come. The access manager expands on its own thread, ahead of the reader, so the
// client asks for compression itself and expands here instead.
#include <QByteArray>
#include <memory>

class BodyInflater {
public:
    // For the Content-Encoding `encoding` ("gzip", "x-gzip", "deflate"; anything else passes
    // the bytes as they come).
    explicit BodyInflater(const QByteArray& encoding);
    ~BodyInflater();
    BodyInflater(const BodyInflater&) = delete;
    BodyInflater& operator=(const BodyInflater&) = delete;

    // Appends what `bytes` expand to onto `body`, stopping as soon as `body` passes `limit`
    // bytes. False for a broken stream.
    bool Add(const QByteArray& bytes, QByteArray& body, qint64 limit);

private:
    struct Stream;
    std::unique_ptr<Stream> stream_; // none for a body that is not compressed
    bool broken_ = false;
};
