#pragma once
// What every fuzz target shares: taking typed pieces off the fuzzer's bytes, and stopping with a
// message when a property fails (libFuzzer keeps the input that did it).
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Left() const { return size_ - pos_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Up to `count` bytes (fewer at the end).
    QByteArray Bytes(size_t count) {
        if (count > Left()) count = Left();
        QByteArray bytes(reinterpret_cast<const char*>(data_ + pos_), qsizetype(count));
        pos_ += count;
        return bytes;
    }
    QByteArray Rest() { return Bytes(Left()); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Stops the run with `what` (and the two sides of a failed comparison) on stderr.
[[noreturn]] inline void PropertyFailed(const char* what, const QByteArray& got = {},
                                        const QByteArray& wanted = {}) {
    std::fprintf(stderr, "property failed: %s\n  got:    %s\n  wanted: %s\n", what,
                 got.toPercentEncoding(" ").constData(), wanted.toPercentEncoding(" ").constData());
    std::abort();
}

inline void Require(bool holds, const char* what) {
    if (!holds) PropertyFailed(what);
}

inline void RequireEqual(const QByteArray& got, const QByteArray& wanted, const char* what) {
    if (got != wanted) PropertyFailed(what, got, wanted);
}
