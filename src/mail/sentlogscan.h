#pragma once
// One pass over the bytes of a sent.log: where each entry's fields lie and the moment it went,
// without copying a field, so that a long log is listed quickly and its fields are made into
// text only when shown. A line that is not an entry is counted, not kept.
#include "mail/sententry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// The fields of a line: the time, kind, name, recipient, Message-ID, server reply, and (only
// after a signed send) the signing key.
inline constexpr int kSentLogFields = 7;

struct SentLogRow {
    qint64 msecs = 0;  // the moment, milliseconds since the epoch
    qint32 offset = 0; // the zone's offset as written, seconds east of UTC
    quint8 fields = 0; // 6, or 7 with the signing key
    // Field i is the bytes [bounds[i], bounds[i + 1] - 1) of the log (the tab or line end after
    // it left out); bounds[fields] is one past the line's end.
    quint32 bounds[kSentLogFields + 1] = {};
};

struct SentLogScan {
    QByteArray bytes;             // the log as read, which the rows point into
    std::vector<SentLogRow> rows; // the entries in the log's order (oldest first as written)
    int damaged = 0;              // lines that are not entries (an empty last line is none)

    QByteArrayView Field(const SentLogRow& row, int field) const;
    // The whole line of a row, without its line end.
    QByteArrayView Line(const SentLogRow& row) const;
    QDateTime When(const SentLogRow& row) const;
    SentEntry Entry(const SentLogRow& row) const;
};

// The rows of a log's bytes. A log past 4 GiB has its later lines counted as damaged.
SentLogScan ScanSentLog(QByteArray bytes);
// One line's row, its bounds counted from `base`; false for a line that is not an entry.
bool ScanSentLogLine(QByteArrayView line, quint32 base, SentLogRow& row);
