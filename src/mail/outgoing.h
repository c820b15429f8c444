#pragma once
// What a message needs before it goes out, beyond what the window fills in: checked addresses
// (the A-label for a non-ASCII domain), and the "Date" and "Message-ID" fields that receiving
// systems demand. Both fields go in through the message's extra header lines, so they stand after
// the address lines and before "Subject:".
#include <QDateTime>
#include <QString>
#include <functional>

class TmsMessage;
class TmsSMTP;

// An RFC 5322 date-time in local time with a numeric zone and English names:
// "Tue, 08 Dec 2026 22:31:05 +0100".
QString MailDate(const QDateTime& when);
// "<" + 32 lowercase hex digits from the system's secure random source + "@" + `domain` + ">".
QString NewMessageId(const QString& domain);
// The part of an address after its last "@".
QString AddressDomain(const QString& address);

// The two fields an outgoing message carries.
struct OutgoingStamp {
    QString date;      // the "Date" value
    QString messageId; // the "Message-ID" value, with its angle brackets
};

// Copies `source` into `out`, every address checked and in its wire form (CheckedMailAddress
// raises for one that cannot be used), with "Date" and "Message-ID" in front of its extra header
// lines (any earlier ones removed). An empty `stamp` field is made afresh: the date of now, a new
// identifier for the sender's domain. Returns the stamp used.
OutgoingStamp PrepareOutgoing(const TmsMessage& source, TmsMessage& out,
                              OutgoingStamp stamp = OutgoingStamp());

// While it lives, `smtp` sends `outgoing` with the text it sends kept, and calls `onAccepted` the
// moment the server accepts the message (the registry has it then: a copy is kept at once); at
// its end the client has its own message back and the hook is gone.
class OutgoingOnClient {
public:
    OutgoingOnClient(TmsSMTP& smtp, TmsMessage& outgoing, std::function<void()> onAccepted);
    ~OutgoingOnClient();
    OutgoingOnClient(const OutgoingOnClient&) = delete;
    OutgoingOnClient& operator=(const OutgoingOnClient&) = delete;

private:
    TmsSMTP& smtp_;
    TmsMessage* own_;
};
