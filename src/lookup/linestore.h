#pragma once
// The lines an answer view holds: their bytes, packed into blocks that never move, and where each
// line lies. Adding a line costs a copy of its bytes and nothing else (no block is ever copied to
// grow); a line is decoded for display only when it is shown (DecodeAnswerLine), so a view takes
// a 20 MB answer at the speed it arrives and holds it in little more memory than its bytes.
// Blocks start small and double up to 2 MiB; those are backed by huge pages where the system
// offers them, so filling one costs one page fault rather than five hundred.
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <vector>

class TLineStore {
public:
    void Append(QByteArrayView line);
    void Clear();
    qsizetype Count() const { return qsizetype(lines_.size()); }
    QByteArrayView Bytes(qsizetype index) const;
    // The line as a view shows it.
    QString Text(qsizetype index) const;
    // The byte length of the longest line.
    qsizetype Longest() const { return longest_; }
    // Lines `first` to `last` (inclusive) as shown, joined by LF.
    QString Joined(qsizetype first, qsizetype last) const;

    static constexpr qsizetype FirstBlockSize = 64 << 10;
    static constexpr qsizetype LargestBlockSize = 2 << 20;

private:
    struct FreeBlock {
        void operator()(char* block) const;
    };
    std::vector<std::unique_ptr<char[], FreeBlock>> blocks_;
    qsizetype blockUsed_ = 0;     // bytes used in the last block
    qsizetype blockCapacity_ = 0; // size of the last block
    std::vector<QByteArrayView> lines_;
    qsizetype longest_ = 0;
};
