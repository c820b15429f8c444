#include "replies/replymessage.h"

#include "mail/msdecoder.h"
#include "mail/msmsg.h"
#include "mail/outgoing.h"
#include "replies/sentregistrations.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTimeZone>

namespace {
QString Simplified(const QString& text) {
    return text.simplified();
}

// The header lines of a message, up to its first empty line.
TmsHeaders HeaderLines(const QByteArray& raw) {
    TmsHeaders headers;
    for (QByteArray line : raw.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) break;
        headers.Add(QString::fromUtf8(line));
    }
    return headers;
}

// The text of a message's first plain-text part. A single text part in 7 or 8 bits, as the robots
// send, is read directly; anything else goes through the message decoder.
QStringList TextLines(const QByteArray& raw, const TmsHeaders& headers) {
    const QString type = headers.FieldValue("Content-Type").trimmed().toLower();
    const QString encoding = headers.FieldValue("Content-Transfer-Encoding").trimmed().toLower();
    const QString charset = type.section("charset=", 1).section(';', 0, 0).remove('"').trimmed();
    const bool plain = (type.isEmpty() || type.startsWith("text/plain")) &&
                       (encoding.isEmpty() || encoding == "7bit" || encoding == "8bit") &&
                       (charset.isEmpty() || charset == "utf-8" || charset == "us-ascii");
    if (!plain) {
        TmsMessage message;
        QByteArray copy = raw;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        DecodeMessageText(message, buffer);
        return message.Body();
    }
    qsizetype start = raw.indexOf("\n\n");
    const qsizetype crlf = raw.indexOf("\r\n\r\n");
    if (crlf >= 0 && (start < 0 || crlf < start)) start = crlf + 2;
    QStringList lines;
    if (start < 0) return lines;
    const QString text = QString::fromUtf8(raw.constData() + start + 2, raw.size() - start - 2);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        lines << line.toString();
    }
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

QStringList IdsIn(const QString& field) {
    static const QRegularExpression id("<([^<>\\s]+)>");
    QStringList ids;
    auto it = id.globalMatch(field);
    while (it.hasNext())
        ids << MessageIdKey(it.next().captured(1));
    return ids;
}
} // namespace

QString BareAddress(const QString& field) {
    const qsizetype open = field.lastIndexOf('<');
    const qsizetype close = field.lastIndexOf('>');
    if (open >= 0 && close > open) return field.mid(open + 1, close - open - 1).trimmed();
    static const QRegularExpression blanks("[\\s(),;\"]+");
    for (const QString& word : field.split(blanks, Qt::SkipEmptyParts))
        if (word.contains('@')) return word;
    return QString();
}

QString BareAddressDomain(const QString& field) {
    return AddressDomain(BareAddress(field)).toLower();
}

QDateTime ParseMailDate(const QString& value) {
    // Comments such as "(UTC)" and a missing day name are left out before Qt reads it.
    QString text = value;
    static const QRegularExpression comment("\\([^()]*\\)");
    text.remove(comment);
    text = text.simplified();
    if (text.contains(',')) text = text.section(',', 1).trimmed();
    static const QRegularExpression form(
        R"(^(\d{1,2}) ([A-Za-z]{3}) (\d{2,4}) (\d{1,2}):(\d\d)(?::(\d\d))? ?([+-]\d{4}|[A-Za-z]{1,5})?$)");
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return QDateTime();
    static const QStringList months{"jan", "feb", "mar", "apr", "may", "jun",
                                    "jul", "aug", "sep", "oct", "nov", "dec"};
    const int month = int(months.indexOf(m.captured(2).toLower())) + 1;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) year += year < 50 ? 2000 : 1900;
    const QDate date(year, month, m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid()) return QDateTime();
    const QString zone = m.captured(7);
    int offset = 0;
    if (zone.startsWith('+') || zone.startsWith('-'))
        offset = (zone[0] == '-' ? -1 : 1) *
                 (zone.mid(1, 2).toInt() * 3600 + zone.mid(3, 2).toInt() * 60);
    return QDateTime(date, time, QTimeZone(offset));
}

ReplyMessage ReadReplyMessage(const QByteArray& raw, const QDateTime& arrived) {
    ReplyMessage reply;
    const TmsHeaders headers = HeaderLines(raw);
    reply.subject = Simplified(DecodeEncodedWords(headers.FieldValue("Subject")));
    reply.fromAddress = BareAddress(DecodeEncodedWords(headers.FieldValue("From")));
    reply.fromDomain = BareAddressDomain(reply.fromAddress);
    reply.date = ParseMailDate(headers.FieldValue("Date"));
    if (!reply.date.isValid()) reply.date = arrived;
    reply.messageId = headers.FieldValue("Message-ID").trimmed();
    reply.threadIds = IdsIn(headers.FieldValue("In-Reply-To"));
    QStringList references = IdsIn(headers.FieldValues("References").join(' '));
    std::reverse(references.begin(), references.end());
    reply.threadIds += references;
    reply.regcoreStatus = headers.FieldValue("X-Regcore-Status").trimmed().toUpper();
    const QString type = headers.FieldValue("Content-Type").toLower();
    reply.pgpMime =
        type.startsWith("multipart/signed") && type.contains("application/pgp-signature");

    reply.lines = TextLines(raw, headers);
    return reply;
}
