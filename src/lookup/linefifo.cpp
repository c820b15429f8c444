#include "lookup/linefifo.h"

#include <cstdlib>
#include <cstring>
#include <new>

CMemWrap::CMemWrap(uint32_t size) {
    Reallocate(size);
}

CMemWrap::~CMemWrap() {
    std::free(memory_);
}

void CMemWrap::Reallocate(uint32_t size) {
    std::free(memory_);
    memory_ = static_cast<char*>(std::malloc(size ? size : 1));
    if (!memory_) throw std::bad_alloc();
    size_ = size;
}

void LineFIFO::Resize(uint32_t capacity) {
    Reallocate(std::max(capacity, ReadBlock));
    limit_ = capacity;
    Clear();
}

bool LineFIFO::TakeLine(QByteArrayView& line) {
    if (count_ == 0) return false;
    const char* begin = memory_ + start_;
    if (eol_.isEmpty()) {
        line = TakePiece();
        return true;
    }
    // Only a terminator within the line limit ends a line; past it the bytes go as a piece.
    const uint32_t window = std::min(count_, limit_);
    const void* found = ::memmem(begin, window, eol_.constData(), size_t(eol_.size()));
    if (!found) return false;
    uint32_t length = uint32_t(static_cast<const char*>(found) - begin);
    line = QByteArrayView(begin, length);
    uint32_t consumed = length + uint32_t(eol_.size());
    start_ += consumed;
    count_ -= consumed;
    return true;
}

QByteArrayView LineFIFO::TakePiece() {
    const uint32_t length = std::min(count_, limit_);
    QByteArrayView piece(memory_ + start_, length);
    start_ += length;
    count_ -= length;
    return piece;
}

void LineFIFO::Compact() {
    if (start_ == 0) return;
    if (count_) std::memmove(memory_, memory_ + start_, count_);
    start_ = 0;
}
