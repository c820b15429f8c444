#include "mail/lineencoders.h"

#include "platform/exception.h"
#include "platform/wait.h"

namespace {
constexpr int kBase64Chunk = 57;
constexpr int kUuChunk = 45;
// Lines between two rounds of event processing while a large attachment is encoded.
constexpr int kLinesPerEventRound = 1024;

char UuChar(int value) {
    return value == 0 ? '`' : char(32 + value);
}

int UuValue(char c) {
    return (c - 32) & 63;
}

template <typename LineEncoder>
QByteArrayList EncodeInChunks(const QByteArray& data, int chunk, LineEncoder encode) {
    QByteArrayList lines;
    qsizetype pos = 0;
    for (;;) {
        QByteArray piece = data.mid(pos, chunk);
        pos += piece.size();
        lines.append(encode(piece));
        if (lines.size() % kLinesPerEventRound == 0) ProcessPendingEvents();
        if (piece.size() < chunk) return lines;
    }
}
} // namespace

QByteArray EncodeBase64Line(const QByteArray& chunk) {
    return chunk.toBase64();
}

QByteArray DecodeBase64Line(const QByteArray& line) {
    QByteArray clean;
    clean.reserve(line.size());
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        bool valid = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '+' || c == '/' || c == '=';
        if (!valid) throw Exception("Invalid Character");
        clean += c;
    }
    return QByteArray::fromBase64(clean);
}

QByteArrayList EncodeBase64Lines(const QByteArray& data) {
    return EncodeInChunks(data, kBase64Chunk, EncodeBase64Line);
}

QByteArray EncodeUuLine(const QByteArray& chunk) {
    const qsizetype n = chunk.size();
    QByteArray line;
    line.reserve(1 + (n + 2) / 3 * 4);
    line += UuChar(int(n));
    for (qsizetype i = 0; i < n; i += 3) {
        unsigned b0 = static_cast<unsigned char>(chunk[i]);
        unsigned b1 = i + 1 < n ? static_cast<unsigned char>(chunk[i + 1]) : 0;
        unsigned b2 = i + 2 < n ? static_cast<unsigned char>(chunk[i + 2]) : 0;
        line += UuChar(int(b0 >> 2));
        line += UuChar(int(((b0 & 3) << 4) | (b1 >> 4)));
        line += UuChar(int(((b1 & 15) << 2) | (b2 >> 6)));
        line += UuChar(int(b2 & 63));
    }
    // n bytes take n*4/3 characters, rounded down, plus one when n is not a multiple of 3.
    line.truncate(1 + n * 4 / 3 + (n % 3 ? 1 : 0));
    return line;
}

QByteArray DecodeUuLine(const QByteArray& line) {
    if (line.isEmpty()) return {};
    const int n = UuValue(line[0]);
    QByteArray out;
    out.reserve(n);
    for (qsizetype i = 1; out.size() < n; i += 4) {
        int v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = i + k < line.size() ? UuValue(line[i + k]) : 0;
        out += char((v[0] << 2) | (v[1] >> 4));
        if (out.size() < n) out += char(((v[1] & 15) << 4) | (v[2] >> 2));
        if (out.size() < n) out += char(((v[2] & 3) << 6) | v[3]);
    }
    return out;
}

QByteArrayList EncodeUuLines(const QByteArray& data) {
    return EncodeInChunks(data, kUuChunk, EncodeUuLine);
}
