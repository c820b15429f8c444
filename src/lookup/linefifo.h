#pragma once
// The receive buffer of the line-oriented client: one block of raw memory that received bytes are
// appended to and lines are cut out of in place, so input is never copied line by line.
#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

// Owns one block of raw memory.
class CMemWrap {
public:
    explicit CMemWrap(uint32_t size);
    ~CMemWrap();
    CMemWrap(const CMemWrap&) = delete;
    CMemWrap& operator=(const CMemWrap&) = delete;

protected:
    // Frees the block and allocates a new one of `size` bytes.
    void Reallocate(uint32_t size);
    char* memory_ = nullptr;
    uint32_t size_ = 0;
};

class LineFIFO : private CMemWrap {
public:
    explicit LineFIFO(uint32_t capacity = 2048) : CMemWrap(capacity) {}

    uint32_t Capacity() const { return size_; }
    // Replaces the buffer by an empty one of `capacity` bytes.
    void Resize(uint32_t capacity);

    // The line terminator; empty turns line splitting off.
    void SetEOL(QByteArrayView eol) { eol_ = eol.toByteArray(); }
    const QByteArray& EOL() const { return eol_; }

    uint32_t Unread() const { return count_; }
    bool Full() const { return count_ == size_; }
    void Clear() { start_ = count_ = 0; }

    // Cuts the next complete line out of the unread bytes (without its terminator); with no
    // terminator set, all unread bytes count as one line. The view points into the buffer and
    // stays valid until the next Compact() or Commit().
    bool TakeLine(QByteArrayView& line);
    // Cuts out all unread bytes; the buffer is empty afterwards.
    QByteArrayView TakeAll();
    // Moves the unread bytes to the front, making room behind them.
    void Compact();

    // The room after the unread bytes, and how much of it was filled.
    char* FreeSpace() { return memory_ + start_ + count_; }
    uint32_t FreeSize() const { return size_ - start_ - count_; }
    void Commit(uint32_t received) { count_ += received; }

private:
    uint32_t start_ = 0; // first unread byte
    uint32_t count_ = 0; // unread bytes
    QByteArray eol_;
};
