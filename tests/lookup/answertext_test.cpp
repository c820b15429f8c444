// Answer bytes to shown lines: encodings per line, characters cut at a buffer's end, CRs.
#include "lookup/answertext.h"

#include <gtest/gtest.h>

TEST(AnswerText, TellsValidUtf8AndIncompleteEndsApart) {
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("M\xFCller"));        // Latin-1
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_EQ(IncompleteUtf8Tail("abc\xE2\x82"), 2);
    EXPECT_EQ(IncompleteUtf8Tail("abc\xF0"), 1);
    EXPECT_EQ(IncompleteUtf8Tail("abc\xC3\xBC"), 0);     // complete
    EXPECT_EQ(IncompleteUtf8Tail("M\xFCll\xE2\x82"), 0); // not UTF-8 before it: Latin-1
    EXPECT_EQ(IncompleteUtf8Tail("abc\xED\xA0"), 0);     // would be a surrogate
}

TEST(AnswerText, ACharacterCutAtAPiecesEndMovesToTheNextPiece) {
    AnswerText answer(true);
    EXPECT_EQ(answer.Line("ab\xE2\x82", false), QByteArray("ab"));
    EXPECT_EQ(answer.Line("\xAC"
                          "cd",
                          false),
              QByteArray("\xE2\x82\xAC"
                         "cd"));
    // A piece that is nothing but the start of a character waits whole.
    EXPECT_EQ(answer.Line("\xF0\x9F", false), std::nullopt);
    EXPECT_EQ(answer.Line("\x98\x80!", true), QByteArray("\xF0\x9F\x98\x80!"));
    // The answer ends while bytes wait: they are shown as they are.
    EXPECT_EQ(answer.Line("end\xC3", false), QByteArray("end"));
    EXPECT_EQ(answer.Finish(), QByteArray("\xC3"));
    EXPECT_EQ(answer.Finish(), std::nullopt);
}

TEST(AnswerText, OnlyTheCrOfACrLfLineEndIsHidden) {
    AnswerText lf(true), crlf(false);
    EXPECT_EQ(lf.Line("line\r", true), QByteArray("line"));
    EXPECT_EQ(lf.Line("a\rb\r\r", true), QByteArray("a\rb\r"));
    EXPECT_EQ(lf.Line("piece\r", false), QByteArray("piece\r")); // no line end yet
    EXPECT_EQ(crlf.Line("line\r", true), QByteArray("line\r"));  // its CR LF is already gone
    EXPECT_EQ(DecodeAnswerLine("a\rb"), QString("a\u240db"));
    EXPECT_EQ(DecodeAnswerLine("M\xFCller"), QString("M\u00fcller"));
    EXPECT_EQ(DecodeAnswerLine("M\xC3\xBCller"), QString("M\u00fcller"));
}
