#pragma once
// A reply as the matching and the verdict readers see it: the header fields they use, and the
// text of its first plain-text part, decoded (transfer encoding and character set).
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

struct ReplyMessage {
    QString subject;       // decoded, runs of blanks as one
    QString fromAddress;   // the address alone
    QString fromDomain;    // its domain, in lower case
    QDateTime date;        // the Date field, else when it arrived
    QString messageId;     // as given, with its angle brackets
    QStringList threadIds; // In-Reply-To, then References from the last, as MessageIdKey gives
    QString regcoreStatus; // X-Regcore-Status
    QStringList lines;     // the text
    bool pgpMime = false;  // a multipart/signed message with an OpenPGP signature
};

// `raw` is the message as the mailbox holds it (its text possibly cut); `arrived` stands in for
// a missing or unreadable Date.
ReplyMessage ReadReplyMessage(const QByteArray& raw, const QDateTime& arrived = QDateTime());

// An RFC 5322 date ("Wed, 9 Dec 2026 12:49:55 +0000 (UTC)"); invalid when it is none.
QDateTime ParseMailDate(const QString& value);

// The address of a field such as "RIPE DBM <unread@ripe.net>" or "auto-dbm@radb.net": between
// its last angle brackets, else the word holding "@"; empty when there is none.
QString BareAddress(const QString& field);
// Its domain in lower case.
QString BareAddressDomain(const QString& field);
