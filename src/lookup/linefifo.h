#pragma once
// The receive buffer of the line-oriented client: one block of raw memory that received bytes are
// appended to and lines are cut out of in place, so input is never copied line by line.
#include <QByteArray>
#include <QByteArrayView>
#include <algorithm>
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

// Lines are at most Capacity() bytes with their terminator; a longer one comes in pieces of that
// size. The block itself is larger (ReadBlock at least), so that each receive takes many lines at
// once: a large answer costs a few hundred receives, not one per line limit.
class LineFIFO : private CMemWrap {
public:
    static constexpr uint32_t ReadBlock = 64 * 1024;
    explicit LineFIFO(uint32_t capacity = 2048)
        : CMemWrap(std::max(capacity, ReadBlock)), limit_(capacity) {}

    uint32_t Capacity() const { return limit_; }
    // Replaces the buffer by an empty one for lines of `capacity` bytes.
    void Resize(uint32_t capacity);

    // The line terminator; empty turns line splitting off.
    void SetEOL(QByteArrayView eol) { eol_ = eol.toByteArray(); }
    const QByteArray& EOL() const { return eol_; }

    uint32_t Unread() const { return count_; }
    // The unread bytes hold a line's worth without a terminator in it (after TakeLine found
    // none): they go as a piece.
    bool Full() const { return count_ >= limit_; }
    void Clear() { start_ = count_ = 0; }

    // Cuts the next complete line out of the unread bytes (without its terminator), when the
    // terminator ends within the line limit; with no terminator set, the next piece counts as a
    // line. The view points into the buffer and stays valid until the next Compact() or Commit().
    bool TakeLine(QByteArrayView& line);
    // Cuts out the next piece: the unread bytes, at most Capacity() of them.
    QByteArrayView TakePiece();
    // Moves the unread bytes to the front, making room behind them.
    void Compact();

    // The room after the unread bytes, and how much of it was filled.
    char* FreeSpace() { return memory_ + start_ + count_; }
    uint32_t FreeSize() const { return size_ - start_ - count_; }
    void Commit(uint32_t received) { count_ += received; }

private:
    uint32_t limit_;     // the longest line, its terminator included
    uint32_t start_ = 0; // first unread byte
    uint32_t count_ = 0; // unread bytes
    QByteArray eol_;
};
