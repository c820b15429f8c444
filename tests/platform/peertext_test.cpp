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
