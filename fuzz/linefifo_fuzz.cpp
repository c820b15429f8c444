// The look-up client's receive buffer: the same bytes cut into any chunks give the same lines as
// a plain reading of the whole text (a line longer than the line limit comes in pieces of that
// size).
#include "fuzzinput.h"
#include "lookup/linefifo.h"

#include <cstring>
#include <vector>

namespace {
struct Piece {
    QByteArray text;
    bool lineEnd; // a whole line (its terminator dropped) or a piece without one
    bool operator==(const Piece&) const = default;
};

// The receive loop of the client: hand out lines, hand out a full buffer as one piece, receive.
std::vector<Piece> Pump(const QByteArray& bytes, uint32_t capacity, const QByteArray& eol,
                        FuzzInput& chunkSizes) {
    LineFIFO fifo(capacity);
    fifo.SetEOL(eol);
    std::vector<Piece> pieces;
    qsizetype sent = 0;
    for (;;) {
        QByteArrayView line;
        while (fifo.TakeLine(line))
            pieces.push_back({line.toByteArray(), true});
        fifo.Compact();
        if (fifo.Full()) {
            pieces.push_back({fifo.TakePiece().toByteArray(), false});
            continue;
        }
        if (sent == bytes.size()) break;
        qsizetype chunk = std::min<qsizetype>(bytes.size() - sent, fifo.FreeSize());
        if (chunkSizes.Left() > 0) chunk = std::min<qsizetype>(chunk, 1 + chunkSizes.Byte() % 16);
        std::memcpy(fifo.FreeSpace(), bytes.constData() + sent, size_t(chunk));
        fifo.Commit(uint32_t(chunk));
        sent += chunk;
    }
    while (fifo.Unread() > 0)
        pieces.push_back({fifo.TakePiece().toByteArray(), false});
    return pieces;
}

// The same pieces found by looking at the whole text: from each point, the line up to the next
// terminator when line and terminator fit the buffer, else `capacity` bytes.
std::vector<Piece> Expected(const QByteArray& bytes, uint32_t capacity, const QByteArray& eol) {
    std::vector<Piece> pieces;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype window = std::min<qsizetype>(capacity, bytes.size() - pos);
        const qsizetype found = bytes.mid(pos, window).indexOf(eol);
        if (found >= 0) {
            pieces.push_back({bytes.mid(pos, found), true});
            pos += found + eol.size();
        } else {
            pieces.push_back({bytes.mid(pos, window), false});
            pos += window;
        }
    }
    return pieces;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const uint32_t capacity = 1 + input.Byte() % 40;
    static const char* const eols[] = {"\r\n", "\n", "\r\n.\r\n"};
    const QByteArray eol = eols[input.Byte() % 3];
    const QByteArray chunking = input.Bytes(input.Byte());
    const QByteArray bytes = input.Rest();

    FuzzInput none(nullptr, 0);
    FuzzInput chunks(reinterpret_cast<const uint8_t*>(chunking.constData()),
                     size_t(chunking.size()));
    const std::vector<Piece> whole = Pump(bytes, capacity, eol, none);
    const std::vector<Piece> cut = Pump(bytes, capacity, eol, chunks);
    const std::vector<Piece> expected = Expected(bytes, capacity, eol);
    Require(whole == expected, "the lines of the whole text differ from the expected ones");
    Require(cut == expected, "the lines of the chunked text differ from the whole text's");
    return 0;
}
