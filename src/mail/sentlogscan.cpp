#include "mail/sentlogscan.h"

#include <QDate>
#include <limits>

namespace {
// The days from 4713 BC to 1970-01-01 in the calendar the dates count by.
constexpr qint64 kEpochJulianDay = 2440588;

int Digits(const char* at, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (at[i] < '0' || at[i] > '9') return -1;
        value = value * 10 + (at[i] - '0');
    }
    return value;
}

// The time as the log writes it, "YYYY-MM-DDTHH:MM:SS" with "Z" or "+HH:MM": read by hand, since
// a log of many thousand lines would spend most of its reading in the general date parser.
bool QuickTime(QByteArrayView text, qint64& msecs, qint32& offset) {
    if (text.size() != 20 && text.size() != 25) return false;
    const char* t = text.data();
    if (t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':') return false;
    const int year = Digits(t, 4), month = Digits(t + 5, 2), day = Digits(t + 8, 2);
    const int hour = Digits(t + 11, 2), minute = Digits(t + 14, 2), second = Digits(t + 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return false;
    const QDate date(year, month, day);
    if (!date.isValid()) return false;
    offset = 0;
    if (text.size() == 20) {
        if (t[19] != 'Z') return false;
    } else {
        const int zoneHours = Digits(t + 20, 2), zoneMinutes = Digits(t + 23, 2);
        if ((t[19] != '+' && t[19] != '-') || t[22] != ':' || zoneHours < 0 || zoneHours > 14 ||
            zoneMinutes < 0 || zoneMinutes > 59)
            return false;
        offset = (zoneHours * 3600 + zoneMinutes * 60) * (t[19] == '-' ? -1 : 1);
    }
    const qint64 seconds =
        (date.toJulianDay() - kEpochJulianDay) * 86400 + hour * 3600 + minute * 60 + second;
    msecs = (seconds - offset) * 1000;
    return true;
}

bool ParseTime(QByteArrayView text, qint64& msecs, qint32& offset) {
    if (QuickTime(text, msecs, offset)) return true;
    // Any other form of ISO 8601 that the log may hold (fractions of a second, say).
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    if (!when.isValid()) return false;
    msecs = when.toMSecsSinceEpoch();
    offset = when.offsetFromUtc();
    return true;
}
} // namespace

bool ScanSentLogLine(QByteArrayView line, quint32 base, SentLogRow& row) {
    quint8 fields = 0;
    qsizetype start = 0;
    while (true) {
        if (fields == kSentLogFields) return false;
        row.bounds[fields++] = base + quint32(start);
        const qsizetype tab = line.indexOf('\t', start);
        if (tab < 0) break;
        start = tab + 1;
    }
    if (fields < kSentLogFields - 1) return false;
    row.fields = fields;
    row.bounds[fields] = base + quint32(line.size()) + 1;
    const qsizetype timeEnd = row.bounds[1] - 1 - base;
    return ParseTime(line.first(timeEnd), row.msecs, row.offset);
}

SentLogScan ScanSentLog(QByteArray bytes) {
    SentLogScan scan;
    scan.bytes = std::move(bytes);
    const QByteArrayView all(scan.bytes);
    // A line is some 150 bytes: one allocation for most logs.
    scan.rows.reserve(size_t(all.size() / 120 + 1));
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf('\n', start);
        const qsizetype next = end < 0 ? all.size() : end + 1;
        if (end < 0) end = all.size();
        QByteArrayView line = all.sliced(start, end - start);
        if (line.endsWith('\r')) line.chop(1);
        SentLogRow row;
        if (quint64(next) <= std::numeric_limits<quint32>::max() &&
            ScanSentLogLine(line, quint32(start), row))
            scan.rows.push_back(row);
        else
            ++scan.damaged;
        start = next;
    }
    return scan;
}

QByteArrayView SentLogScan::Field(const SentLogRow& row, int field) const {
    if (field < 0 || field >= row.fields) return {};
    return QByteArrayView(bytes).sliced(row.bounds[field],
                                        row.bounds[field + 1] - 1 - row.bounds[field]);
}

QByteArrayView SentLogScan::Line(const SentLogRow& row) const {
    return QByteArrayView(bytes).sliced(row.bounds[0], row.bounds[row.fields] - 1 - row.bounds[0]);
}

QDateTime SentLogScan::When(const SentLogRow& row) const {
    return QDateTime::fromMSecsSinceEpoch(row.msecs);
}

SentEntry SentLogScan::Entry(const SentLogRow& row) const {
    auto text = [&](int field) { return QString::fromUtf8(Field(row, field)); };
    return SentEntry{When(row), text(1), text(2), text(3), text(4), text(5), text(6)};
}
