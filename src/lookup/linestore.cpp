#include "lookup/linestore.h"

#include "lookup/answertext.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

void TLineStore::FreeBlock::operator()(char* block) const {
    std::free(block);
}

void TLineStore::Append(QByteArrayView line) {
    const qsizetype size = line.size();
    if (blocks_.empty() || blockCapacity_ - blockUsed_ < size) {
        // Each block twice the last, up to the largest; a longer line gets one of its own size.
        const qsizetype next =
            blocks_.empty() ? FirstBlockSize : std::min(2 * blockCapacity_, LargestBlockSize);
        blockCapacity_ = std::max(next, size);
        char* block = nullptr;
        if (blockCapacity_ == LargestBlockSize) {
            block = static_cast<char*>(
                std::aligned_alloc(size_t(LargestBlockSize), size_t(LargestBlockSize)));
            if (block) ::madvise(block, size_t(LargestBlockSize), MADV_HUGEPAGE);
        } else {
            block = static_cast<char*>(std::malloc(size_t(blockCapacity_)));
        }
        if (!block) throw std::bad_alloc();
        blocks_.emplace_back(block);
        blockUsed_ = 0;
    }
    char* at = blocks_.back().get() + blockUsed_;
    if (size > 0) std::memcpy(at, line.data(), size_t(size));
    blockUsed_ += size;
    lines_.emplace_back(at, size);
    if (size > longest_) longest_ = size;
}

void TLineStore::Clear() {
    blocks_.clear();
    lines_.clear();
    blockUsed_ = blockCapacity_ = 0;
    longest_ = 0;
}

QByteArrayView TLineStore::Bytes(qsizetype index) const {
    if (index < 0 || index >= Count()) return {};
    return lines_[size_t(index)];
}

QString TLineStore::Text(qsizetype index) const {
    return DecodeAnswerLine(Bytes(index));
}

QString TLineStore::Joined(qsizetype first, qsizetype last) const {
    QString text;
    for (qsizetype i = first; i <= last && i < Count(); ++i) {
        if (i > first) text += QLatin1Char('\n');
        text += Text(i);
    }
    return text;
}
