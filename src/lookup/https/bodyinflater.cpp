#include "lookup/https/bodyinflater.h"

#include <zlib.h>

struct BodyInflater::Stream {
    z_stream z{};
    bool ended = false;
};

BodyInflater::BodyInflater(const QByteArray& encoding) {
    const QByteArray name = encoding.trimmed().toLower();
    if (name != "gzip" && name != "x-gzip" && name != "deflate") return;
    stream_ = std::make_unique<Stream>();
    // 32 added to the window size reads both a gzip and a zlib header.
    broken_ = inflateInit2(&stream_->z, 15 + 32) != Z_OK;
}

BodyInflater::~BodyInflater() {
    if (stream_ && !broken_) inflateEnd(&stream_->z);
}

bool BodyInflater::Add(const QByteArray& bytes, QByteArray& body, qint64 limit) {
    if (!stream_) {
        body += bytes;
        return true;
    }
    if (broken_) return false;
    z_stream& z = stream_->z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    z.avail_in = uInt(bytes.size());
    // Out in steps of 64 kB, so that the body never grows far past the limit.
    constexpr qsizetype kStep = 64 << 10;
    while (z.avail_in > 0 && !stream_->ended && body.size() <= limit) {
        const qsizetype had = body.size();
        body.resize(had + kStep);
        z.next_out = reinterpret_cast<Bytef*>(body.data() + had);
        z.avail_out = uInt(kStep);
        const int status = inflate(&z, Z_NO_FLUSH);
        body.resize(had + (kStep - qsizetype(z.avail_out)));
        if (status == Z_STREAM_END)
            stream_->ended = true;
        else if (status != Z_OK && status != Z_BUF_ERROR) {
            broken_ = true;
            inflateEnd(&z);
            return false;
        }
        if (status == Z_BUF_ERROR && z.avail_out > 0) break;
    }
    return true;
}
