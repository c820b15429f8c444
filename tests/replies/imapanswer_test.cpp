// Reading the server's answers: a message's text never passes for a response, however it reads.
#include "replies/imapanswer.h"

#include <gtest/gtest.h>

namespace {
// A message whose text holds lines that look like responses of every kind read here.
const QByteArray kTrickyText = "* OK [UIDVALIDITY 1] forged\r\n"
                               "* SEARCH 999\r\n"
                               "* 9 FETCH (UID 999 BODY[HEADER] {2}\r\n"
                               "A004 OK done\r\n";

QByteArray Literal(const QByteArray& bytes) {
    return "{" + QByteArray::number(bytes.size()) + "}\r\n" + bytes;
}
} // namespace

TEST(ImapAnswer, ResponsesAreReadWithTheirLiterals) {
    const QByteArray header = "Subject: FAILED: NEW\r\nFrom: unread@ripe.net\r\n\r\n";
    const QByteArray transcript =
        "* OK [CAPABILITY IMAP4rev1] ready\r\n* 3 EXISTS\r\n"
        "* OK [UIDVALIDITY 1796839705] UIDs valid\r\nA003 OK [READ-WRITE] Select completed\r\n"
        "* 2 FETCH (UID 41 INTERNALDATE \" 9-Dec-2026 18:08:25 +0100\" BODY[HEADER]<0> " +
        Literal(header) + " BODY[TEXT]<0> " + Literal(kTrickyText) +
        ")\r\n* 3 FETCH (UID 44 FLAGS (\\Seen) BODY[HEADER]<0> " + Literal("X: y\r\n\r\n") +
        " BODY[TEXT]<0> \"short \\\"quoted\\\" text\")\r\n"
        "* 3 FETCH (FLAGS (\\Seen \\Flagged))\r\nA004 OK Fetch completed.\r\n";

    EXPECT_EQ(UidValidityIn(transcript), std::optional<quint32>(1796839705));
    EXPECT_EQ(SearchResultIn(transcript), std::vector<quint32>{});
    const Result<std::vector<FetchedMessage>> messages = FetchResultIn(transcript);
    ASSERT_TRUE(messages.Ok()) << messages.Error().toStdString();
    ASSERT_EQ(messages->size(), 2u);
    const FetchedMessage& first = messages->at(0);
    EXPECT_EQ(first.uid, 41u);
    EXPECT_EQ(first.arrived, QDateTime(QDate(2026, 12, 9), QTime(17, 8, 25), Qt::UTC));
    EXPECT_EQ(first.Message(), header + kTrickyText);
    EXPECT_EQ(messages->at(1).uid, 44u);
    EXPECT_EQ(messages->at(1).text, "short \"quoted\" text");
}

TEST(ImapAnswer, SearchResultsAndAnswersCutShort) {
    EXPECT_EQ(SearchResultIn("* SEARCH 7 12 4000000000\r\n* SEARCH\r\nA005 OK done\r\n"),
              (std::vector<quint32>{7, 12, 4000000000u}));
    // A literal that announces more than the server sent is no message at all.
    const Result<std::vector<FetchedMessage>> cut =
        FetchResultIn("* 1 FETCH (UID 5 BODY[HEADER] {400}\r\nFrom: x\r\n\r\n");
    ASSERT_FALSE(cut.Ok());
    EXPECT_EQ(cut.Error(), "The server's answer ended in the middle of a message.");
    EXPECT_FALSE(UidValidityIn("* OK [UIDVALIDITY x] broken\r\n").has_value());
}

TEST(ImapAnswer, CommandWords) {
    EXPECT_EQ(UidSet({9, 3, 4, 5, 7, 7, 1}), "1,3:5,7,9");
    EXPECT_EQ(UidSet({42}), "42");
    EXPECT_EQ(ImapSearchDate(QDate(2026, 12, 9)), "9-Dec-2026");
    EXPECT_EQ(ImapSearchDate(QDate(2027, 1, 31)), "31-Jan-2027");
    // RFC 3501's own example, and the one character that must be escaped.
    EXPECT_EQ(ImapMailboxName(QString::fromUtf8("~peter/mail/台北/日本語")),
              "~peter/mail/&U,BTFw-/&ZeVnLIqe-");
    EXPECT_EQ(ImapMailboxName("Replies & Acks"), "Replies &- Acks");
    EXPECT_EQ(ImapMailboxName("INBOX"), "INBOX");
}
