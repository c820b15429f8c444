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
    Reallocate(capacity);
    Clear();
}

bool LineFIFO::TakeLine(QByteArrayView& line) {
    if (count_ == 0) return false;
    const char* begin = memory_ + start_;
    if (eol_.isEmpty()) {
        line = TakeAll();
        return true;
    }
    const void* found = ::memmem(begin, count_, eol_.constData(), size_t(eol_.size()));
    if (!found) return false;
    uint32_t length = uint32_t(static_cast<const char*>(found) - begin);
    line = QByteArrayView(begin, length);
    uint32_t consumed = length + uint32_t(eol_.size());
    start_ += consumed;
    count_ -= consumed;
    return true;
}

QByteArrayView LineFIFO::TakeAll() {
    QByteArrayView all(memory_ + start_, count_);
    start_ += count_;
    count_ = 0;
    return all;
}

void LineFIFO::Compact() {
    if (start_ == 0) return;
    if (count_) std::memmove(memory_, memory_ + start_, count_);
    start_ = 0;
}
