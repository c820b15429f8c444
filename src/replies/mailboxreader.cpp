#include "replies/mailboxreader.h"

#include "replies/mailboxsession.h"

#include <algorithm>

namespace {
// UIDs per search window: its one response line stays below 100 KB.
constexpr quint64 kSearchWindow = 10000;
// Messages per FETCH, the first piece of each header and text, and the further text pieces.
constexpr size_t kMessagesPerFetch = 4;
constexpr qint64 kFirstHeaderPiece = 16 * 1024;
constexpr qint64 kFirstTextPiece = 16 * 1024;
constexpr qint64 kTextPiece = 64 * 1024;

QByteArray Range(quint64 from, quint64 to) {
    return QByteArray::number(from) + ':' + QByteArray::number(to);
}
} // namespace

Result<std::vector<FetchedMessage>> MailboxReader::Ask(const QByteArray& command) {
    Result<QByteArray> answer = session_.Command(command, token_);
    if (!answer) return Fail(answer.Error());
    return FetchResultIn(answer.Value());
}

Result<std::vector<quint32>> MailboxReader::NewUids(MailboxState& state, const QDate& since) {
    const QByteArray search = "UID SEARCH SINCE " + ImapSearchDate(since) + " UID ";
    std::vector<quint32> uids;
    std::optional<quint32> next;
    bool first = true;
    for (quint64 from = quint64(state.lastUid) + 1; from <= 0xffffffffULL;) {
        const quint64 to = std::min<quint64>(from + kSearchWindow - 1, 0xffffffffULL);
        Result<QByteArray> answer = session_.Command(search + Range(from, to), token_);
        if (!answer) return Fail(answer.Error());
        if (first) {
            first = false;
            next = UidNextIn(answer.Value());
            const std::optional<quint32> validity = UidValidityIn(answer.Value());
            if (validity && *validity != state.uidValidity) {
                // Renumbered, or never read: the UIDs kept mean nothing now.
                const bool renumbered = state.uidValidity != 0 && state.lastUid != 0;
                state = MailboxState{*validity, 0};
                if (renumbered) {
                    from = 1;
                    continue;
                }
            }
        }
        for (quint32 uid : SearchResultIn(answer.Value()))
            if (uid >= from && uid <= to) uids.push_back(uid);
        // Without UIDNEXT the end is unknown: the windows go on until one finds nothing.
        const bool more = next ? to + 1 < *next : !uids.empty() && uids.back() >= from;
        if (!more) break;
        from = to + 1;
    }
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    return uids;
}

Done MailboxReader::CompleteHeader(FetchedMessage& message) {
    if (message.header.size() < kFirstHeaderPiece) return {};
    Result<std::vector<FetchedMessage>> answer =
        Ask("UID FETCH " + QByteArray::number(message.uid) + " (UID BODY.PEEK[HEADER]<0." +
            QByteArray::number(kHeaderBytes) + ">)");
    if (!answer) return Fail(answer.Error());
    for (const FetchedMessage& whole : answer.Value())
        if (whole.uid == message.uid && whole.hasHeader) message.header = whole.header;
    // A header longer still ends after its last whole line, so that the text stays apart.
    if (message.header.size() >= kHeaderBytes && !message.header.endsWith("\r\n\r\n")) {
        message.header.truncate(message.header.lastIndexOf('\n') + 1);
        message.header += "\r\n";
    }
    return {};
}

Done MailboxReader::CompleteText(FetchedMessage& message) {
    // A text that filled the pieces asked for may go on: the next pieces, up to the limit.
    for (qint64 end = kFirstTextPiece; message.text.size() == end && end < kTextBytes;) {
        const qint64 length = std::min(kTextPiece, kTextBytes - end);
        Result<std::vector<FetchedMessage>> answer =
            Ask("UID FETCH " + QByteArray::number(message.uid) + " (UID BODY.PEEK[TEXT]<" +
                QByteArray::number(end) + '.' + QByteArray::number(length) + ">)");
        if (!answer) return Fail(answer.Error());
        for (const FetchedMessage& piece : answer.Value())
            if (piece.uid == message.uid && piece.textFrom == end) message.text += piece.text;
        end += length;
    }
    return {};
}

Done MailboxReader::Fetch(const std::vector<quint32>& uids,
                          const std::function<Done(const FetchedMessage&)>& take,
                          const std::function<Done(quint32)>& readUpTo) {
    const QByteArray items = " (UID INTERNALDATE BODY.PEEK[HEADER]<0." +
                             QByteArray::number(kFirstHeaderPiece) + "> BODY.PEEK[TEXT]<0." +
                             QByteArray::number(kFirstTextPiece) + ">)";
    for (size_t at = 0; at < uids.size(); at += kMessagesPerFetch) {
        const std::vector<quint32> group(
            uids.begin() + qsizetype(at),
            uids.begin() + qsizetype(std::min(uids.size(), at + kMessagesPerFetch)));
        Result<std::vector<FetchedMessage>> answer = Ask("UID FETCH " + UidSet(group) + items);
        if (!answer) return Fail(answer.Error());
        std::vector<FetchedMessage>& messages = answer.Value();
        std::sort(messages.begin(), messages.end(),
                  [](const FetchedMessage& a, const FetchedMessage& b) { return a.uid < b.uid; });
        for (FetchedMessage& message : messages) {
            if (!message.hasHeader) continue;
            if (Done header = CompleteHeader(message); !header) return header;
            if (Done complete = CompleteText(message); !complete) return complete;
            if (Done taken = take(message); !taken) return taken;
        }
        if (Done saved = readUpTo(group.back()); !saved) return saved;
    }
    return {};
}
