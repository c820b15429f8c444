#include "platform/peertext.h"

#include <gtest/gtest.h>

TEST(PeerText, EveryControlClassIsShownAsAnEscape) {
    const QString received = QString::fromUtf8("a\x1b[31mb\x07\x0b\x0c\x7f") + QChar(0x85) +
                             QChar(0x2028) + QChar(0x202E) + QChar(0x200B) + "\tok";
    EXPECT_EQ(PeerText(received),
              "a\\x1B[31mb\\x07\\x0B\\x0C\\x7F\\u{0085}\\u{2028}\\u{202E}\\u{200B}\tok");
    EXPECT_EQ(PeerText("two\r\nlines\n"), "two\r\nlines\n");
    EXPECT_EQ(PeerText("two\r\nlines", PeerTextLines::Escape), "two\\x0D\\x0Alines");
}

TEST(PeerText, BytesKeepValidUtf8AndShowEveryOtherByte) {
    const QByteArray bytes("M\xC3\xBCller \xFC \xE2\x82 \xF0\x9F\x98\x80 \x1B!");
    EXPECT_EQ(PeerTextFromBytes(bytes),
              QString::fromUtf8("Müller \\xFC \\xE2\\x82 \xF0\x9F\x98\x80 \\x1B!"));
    EXPECT_EQ(PeerTextFromBytes(QByteArray("nul\0end", 7)), "nul\\x00end");
}

TEST(PeerText, ALoneCarriageReturnAndInvisibleCharactersAreShown) {
    // A CR returns the cursor: only before an LF, or at the very end, is it a line end.
    EXPECT_EQ(PeerText("paid\rUNPAID\r\nend\r"), "paid\\x0DUNPAID\r\nend\r");
    EXPECT_EQ(PeerTextFromBytes("a\r\xff\r\n"), "a\\x0D\\xFF\r\n");
    // Soft hyphen, invisible operators, interlinear annotation and tag characters hide text.
    const QString hidden = QString("a") + QChar(0x00AD) + QChar(0x2062) + QChar(0xFFF9) +
                           QString::fromUcs4(U"\U000E0041") + "b";
    EXPECT_EQ(PeerText(hidden), "a\\u{00AD}\\u{2062}\\u{FFF9}\\u{E0041}b");
    EXPECT_FALSE(IsPlainPeerText(hidden));
    // A surrogate without its other half, and letters from beyond the first plane.
    EXPECT_EQ(PeerText(QString("x") + QChar(0xD800) + "y"), "x\\u{D800}y");
    EXPECT_EQ(PeerText(QString::fromUcs4(U"\U0001F600 M\u00fcller")),
              QString::fromUcs4(U"\U0001F600 M\u00fcller"));
}
